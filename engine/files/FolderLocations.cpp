#include "engine/files/FolderLocations.h"

#include "framework/Utf8.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>

namespace {

struct ItemIdListFree {
    void operator()(ITEMIDLIST* list) const noexcept { CoTaskMemFree(list); }
};
using ItemIdList = std::unique_ptr<ITEMIDLIST, ItemIdListFree>;

std::string WithoutTrailingBackslash(std::wstring path)
{
    // A drive root keeps its backslash: "C:" alone would mean the current folder of that drive.
    if (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    return ToUtf8(path);
}

} // namespace

std::string SpecialFolderFromIdList(int csidl)
{
    ITEMIDLIST* raw = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &raw)) || !raw)
        return {};
    ItemIdList list(raw);
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(list.get(), path))
        return {};
    return WithoutTrailingBackslash(path);
}

std::string SpecialFolderPath(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE))
        return {};
    return WithoutTrailingBackslash(path);
}

std::string TempFolderPath()
{
    // The variables it reads could change between two calls; ask again, a few times, until it fits.
    std::wstring path(MAX_PATH + 1, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD length = GetTempPathW(static_cast<DWORD>(path.size()), path.data());
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return WithoutTrailingBackslash(path);
        }
        path.resize(length + 1);
    }
    return {};
}

#include "engine/ProtectedFolders.h"

#include "engine/ShellFolders.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <windows.h>

namespace {

const wchar_t kExtended[] = L"\\\\?\\";
const wchar_t kExtendedUnc[] = L"\\\\?\\UNC\\";

bool SameText(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() && CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                                        static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Calls a Win32 function that fills a buffer and returns the length it needed, growing the buffer.
template <typename Call>
std::wstring Filled(Call call)
{
    std::wstring text(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD length = call(text.data(), static_cast<DWORD>(text.size()));
        if (length == 0)
            return {};
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(length + 1);
    }
    return {};
}

// The absolute, extended form of a folder, with long names where the folder exists; empty when it
// cannot be had. A \\?\ path reaches the file system as it stands; any other is normalised first.
std::wstring Resolved(const std::wstring& folder)
{
    std::wstring full = folder;
    if (!full.starts_with(kExtended)) {
        full = Filled([&](wchar_t* buffer, DWORD size) {
            return GetFullPathNameW(folder.c_str(), size, buffer, nullptr);
        });
        if (full.starts_with(L"\\\\.\\"))
            full = kExtended + full.substr(4);
        else if (full.starts_with(L"\\\\"))
            full = kExtendedUnc + full.substr(2);
        else if (full.size() >= 2 && full[1] == L':')
            full = kExtended + full;
        else
            return {};
    }
    std::wstring longForm =
        Filled([&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(full.c_str(), buffer, size); });
    return longForm.empty() ? full : longForm;
}

// Where the folder really is when the way to it passes through links; empty when it cannot be opened.
std::wstring FinalPath(const std::wstring& resolved)
{
    UniqueHandle folder(CreateFileW(resolved.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder)
        return {};
    return Filled([&](wchar_t* buffer, DWORD size) {
        return GetFinalPathNameByHandleW(folder.get(), buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
}

// The resolved form without its final backslashes, so that a folder and its parent compare by prefix.
std::wstring Trimmed(std::wstring path)
{
    while (path.size() > 4 && path.back() == L'\\')
        path.pop_back();
    return path;
}

// A "." or ".." part, which only an extended path can still hold and whose meaning is then the file
// system's.
bool HasDotPart(const std::wstring& path)
{
    std::wstring ended = path + L'\\';
    return ended.find(L"\\.\\") != std::wstring::npos || ended.find(L"\\..\\") != std::wstring::npos;
}

// A drive root (\\?\C:), a share (\\?\UNC\server\share) or anything outside those two forms, such
// as a volume or device name, which no plug-in has reason to name.
bool IsRootOrUnusual(const std::wstring& path)
{
    if (HasDotPart(path))
        return true;
    if (path.starts_with(kExtendedUnc)) {
        size_t share = path.find(L'\\', std::size(kExtendedUnc) - 1);
        return share == std::wstring::npos || path.find(L'\\', share + 1) == std::wstring::npos;
    }
    std::wstring_view rest = std::wstring_view(path).substr(std::size(kExtended) - 1);
    bool drive = rest.size() >= 2 && rest[1] == L':' && rest.find(L':', 2) == std::wstring_view::npos;
    return !drive || rest.size() <= 3;
}

// Whether inner is outer or lies somewhere below it; both trimmed.
bool IsSameOrInside(const std::wstring& inner, const std::wstring& outer)
{
    bool below = inner.size() > outer.size() && inner[outer.size()] == L'\\';
    return (inner.size() == outer.size() || below) &&
           SameText(std::wstring_view(inner).substr(0, outer.size()), outer);
}

std::wstring EnvironmentFolder(const wchar_t* name)
{
    return Filled([&](wchar_t* buffer, DWORD size) { return GetEnvironmentVariableW(name, buffer, size); });
}

// Folders with everything inside them: what Windows runs from, never something a cleaner empties.
std::vector<std::string> SystemTrees(const std::vector<std::wstring>& windowsFolders,
                                     const std::vector<std::wstring>& systemFolders)
{
    std::vector<std::string> trees;
    for (const std::wstring& folder : systemFolders)
        trees.push_back(ToUtf8(folder));
    for (const std::wstring& windows : windowsFolders) {
        for (const wchar_t* inside : {L"System32", L"SysWOW64", L"WinSxS", L"inf", L"Boot", L"Fonts"})
            trees.push_back(ToUtf8(windows + L'\\' + inside));
    }
    return trees;
}

// Resolved forms of each folder: as named and, when links lead elsewhere, where it really is.
void AddResolved(const std::vector<std::string>& folders, std::vector<std::wstring>& resolvedFolders)
{
    for (const std::string& folder : folders) {
        if (folder.empty())
            continue;
        std::wstring resolved = Resolved(ToWide(folder));
        if (resolved.empty())
            continue;
        resolvedFolders.push_back(Trimmed(resolved));
        std::wstring final = FinalPath(resolved);
        if (!final.empty())
            resolvedFolders.push_back(Trimmed(final));
    }
}

} // namespace

ProtectedFolders ProtectedFolders::OfThisSystem()
{
    std::vector<std::wstring> windowsFolders = {
        Filled([](wchar_t* buffer, DWORD size) { return GetWindowsDirectoryW(buffer, size); }),
        Filled([](wchar_t* buffer, DWORD size) { return GetSystemWindowsDirectoryW(buffer, size); }),
    };
    std::vector<std::wstring> systemFolders = {
        Filled([](wchar_t* buffer, DWORD size) { return GetSystemDirectoryW(buffer, size); }),
        Filled([](wchar_t* buffer, DWORD size) { return GetSystemWow64DirectoryW(buffer, size); }),
    };
    std::erase(windowsFolders, std::wstring());
    std::erase(systemFolders, std::wstring());
    std::vector<std::string> folders = {
        KnownFolderPath(FOLDERID_ProgramFiles),
        KnownFolderPath(FOLDERID_ProgramFilesX86),
        KnownFolderPath(FOLDERID_Profile),
        KnownFolderPath(FOLDERID_RoamingAppData),
        // The 64-bit Program Files, which the shell does not name to 32-bit code.
        ToUtf8(EnvironmentFolder(L"ProgramW6432")),
    };
    for (const std::wstring& folder : windowsFolders)
        folders.push_back(ToUtf8(folder));
    return ProtectedFolders(folders, SystemTrees(windowsFolders, systemFolders));
}

ProtectedFolders::ProtectedFolders(const std::vector<std::string>& folders,
                                   const std::vector<std::string>& trees)
{
    AddResolved(folders, folders_);
    AddResolved(trees, trees_);
}

bool ProtectedFolders::Covers(const std::string& folder) const
{
    // The eraser reads a folder without a final backslash as if it had one, an empty one as the
    // root of the current drive.
    std::wstring wide = ToWide(folder);
    if (wide.empty() || wide.back() != L'\\')
        wide += L'\\';
    std::wstring resolved = Resolved(wide);
    if (resolved.empty() || CoversResolved(resolved))
        return true;
    std::wstring final = FinalPath(resolved);
    return !final.empty() && CoversResolved(final);
}

bool ProtectedFolders::CoversResolved(const std::wstring& folder) const
{
    std::wstring target = Trimmed(folder);
    if (IsRootOrUnusual(target))
        return true;
    for (const std::wstring& kept : folders_) {
        if (IsSameOrInside(kept, target))
            return true;
    }
    for (const std::wstring& tree : trees_) {
        if (IsSameOrInside(target, tree) || IsSameOrInside(tree, target))
            return true;
    }
    return false;
}

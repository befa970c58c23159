#include "engine/files/ResolvedPath.h"

#include "framework/LowerCase.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <cwctype>

namespace {

std::wstring_view WithoutFinalBackslash(std::wstring_view path)
{
    return path.ends_with(L'\\') ? path.substr(0, path.size() - 1) : path;
}

// Where the first part below the drive or share begins in an extended path; npos for other forms.
size_t FirstPartStart(std::wstring_view path)
{
    if (path.size() >= 7 && path.starts_with(L"\\\\?\\") && path[5] == L':' && path[6] == L'\\')
        return 7;
    if (!path.starts_with(L"\\\\?\\UNC\\"))
        return std::wstring_view::npos;
    size_t share = path.find(L'\\', 8);
    size_t end = share == std::wstring_view::npos ? share : path.find(L'\\', share + 1);
    return end == std::wstring_view::npos ? end : end + 1;
}

// The name of the entry path names, as its folder lists it; empty when there is none.
std::wstring ListedName(const std::wstring& path)
{
    WIN32_FIND_DATAW entry;
    FindHandle search(
        FindFirstFileExW(path.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0));
    return search ? entry.cFileName : std::wstring();
}

// Asks the folder of each part for its listed name, for a path whose way passes through links.
std::wstring SpelledPartByPart(const std::wstring& path)
{
    size_t start = FirstPartStart(path);
    if (start == std::wstring::npos)
        return path;
    std::wstring spelled = path.substr(0, start);
    if (spelled[5] == L':')
        spelled[4] = std::towupper(spelled[4]);
    while (start < path.size()) {
        size_t end = path.find(L'\\', start);
        std::wstring part = path.substr(start, end == std::wstring::npos ? end : end - start);
        bool plain = !part.empty() && part.find_first_of(L"*?") == std::wstring::npos;
        std::wstring listed = plain ? ListedName(spelled + part) : std::wstring();
        spelled += SameNameIgnoringCase(listed, part) ? listed : part;
        if (end == std::wstring::npos)
            break;
        spelled += L'\\';
        start = end + 1;
    }
    return spelled;
}

// Whether both paths lead to the same file or folder; where two names differ in case only, a file
// system that tells case apart may hold both.
bool SameEntry(const std::wstring& a, const std::wstring& b)
{
    auto open = [](const std::wstring& path) {
        return UniqueHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    };
    UniqueHandle first = open(a);
    UniqueHandle second = open(b);
    BY_HANDLE_FILE_INFORMATION one;
    BY_HANDLE_FILE_INFORMATION other;
    return first && second && GetFileInformationByHandle(first.get(), &one) &&
           GetFileInformationByHandle(second.get(), &other) &&
           one.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
           one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}

} // namespace

std::wstring FinalPathOf(const std::wstring& extendedPath)
{
    UniqueHandle entry(CreateFileW(extendedPath.c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!entry)
        return {};
    return FilledText([&](wchar_t* buffer, DWORD size) {
        return GetFinalPathNameByHandleW(entry.get(), buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
}

std::string FromExtendedPath(std::wstring_view path)
{
    if (path.starts_with(L"\\\\?\\UNC\\"))
        return "\\\\" + ToUtf8(path.substr(8));
    if (path.starts_with(L"\\\\?\\"))
        return ToUtf8(path.substr(4));
    return ToUtf8(path);
}

std::string NormalisedPath(const std::string& utf8Path)
{
    return FromExtendedPath(ToExtendedPath(utf8Path));
}

std::wstring OnDiskSpelling(const std::wstring& extendedPath)
{
    std::wstring final = FinalPathOf(extendedPath);
    if (final.empty())
        return extendedPath; // nothing there to be listed
    std::wstring_view given = WithoutFinalBackslash(extendedPath);
    if (SameNameIgnoringCase(WithoutFinalBackslash(final), given))
        return std::wstring(WithoutFinalBackslash(final)) + extendedPath.substr(given.size());
    std::wstring spelled = SpelledPartByPart(extendedPath);
    return spelled == extendedPath || SameEntry(spelled, extendedPath) ? spelled : extendedPath;
}

std::string SpelledAsOnDisk(const std::string& utf8Path)
{
    std::wstring extended = ToExtendedPath(utf8Path);
    std::wstring spelled = OnDiskSpelling(extended);
    if (spelled == extended)
        return utf8Path;
    return utf8Path.starts_with("\\\\?\\") ? ToUtf8(spelled) : FromExtendedPath(spelled);
}

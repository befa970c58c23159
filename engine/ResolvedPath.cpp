#include "engine/ResolvedPath.h"

#include "framework/Owners.h"
#include "framework/Utf8.h"

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

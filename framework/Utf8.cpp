#include "framework/Utf8.h"

#include <windows.h>

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

bool IsAsciiLetter(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool IsDriveAbsolute(std::wstring_view path)
{
    return path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == L':' && IsSeparator(path[2]);
}

bool IsUnc(std::wstring_view path)
{
    return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

bool IsAlreadyDevicePath(std::wstring_view path)
{
    return path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\");
}

std::wstring FullPath(const std::wstring& path)
{
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    std::wstring full(size, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return path;
    full.resize(length);
    return full;
}

} // namespace

std::wstring ToWide(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

std::string ToUtf8(std::wstring_view wide)
{
    if (wide.empty())
        return {};
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string utf8(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length, nullptr,
                        nullptr);
    return utf8;
}

std::wstring ToExtendedPath(const std::string& utf8Path)
{
    std::wstring path = ToWide(utf8Path);
    if (IsAlreadyDevicePath(path))
        return path;
    if (IsDriveAbsolute(path))
        return L"\\\\?\\" + FullPath(path);
    if (IsUnc(path))
        return L"\\\\?\\UNC\\" + FullPath(path).substr(2);
    return path;
}

#include "framework/RegKey.h"

#include "framework/Utf8.h"

LONG RegKey::Open(HKEY parent, const std::string& subKey, REGSAM access, DWORD options)
{
    HKEY opened = nullptr;
    LONG status = RegOpenKeyExW(parent, ToWide(subKey).c_str(), options, access, &opened);
    if (status == ERROR_SUCCESS)
        key_.reset(opened);
    return status;
}

LONG RegKey::Create(HKEY parent, const std::string& subKey, REGSAM access, DWORD* disposition)
{
    HKEY created = nullptr;
    LONG status = RegCreateKeyExW(parent, ToWide(subKey).c_str(), 0, nullptr, 0, access, nullptr, &created,
                                  disposition);
    if (status == ERROR_SUCCESS)
        key_.reset(created);
    return status;
}

LONG RegKey::Close()
{
    if (!key_)
        return ERROR_SUCCESS;
    return RegCloseKey(key_.release());
}

LONG RegKey::QueryDword(DWORD& value, const std::string& name) const
{
    DWORD data = 0;
    DWORD size = sizeof data;
    LONG status = RegQueryValueExW(key_.get(), ToWide(name).c_str(), nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(&data), &size);
    if (status == ERROR_SUCCESS)
        value = data;
    return status;
}

LONG RegKey::QueryString(std::string& text, const std::string& name, DWORD maxChars) const
{
    std::wstring data(maxChars, L'\0');
    DWORD size = maxChars * sizeof(wchar_t);
    LONG status = RegQueryValueExW(key_.get(), ToWide(name).c_str(), nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(data.data()), &size);
    if (status != ERROR_SUCCESS)
        return status;
    // The stored data need not end in a terminator, and may hold one before its end.
    data.resize(size / sizeof(wchar_t));
    size_t end = data.find(L'\0');
    if (end != std::wstring::npos)
        data.resize(end);
    text = ToUtf8(data);
    return status;
}

LONG RegKey::QueryCount(uint64_t& value, const std::string& name) const
{
    uint64_t data = 0; // little-endian: four bytes read into it are the DWORD's value
    DWORD size = sizeof data;
    LONG status = RegQueryValueExW(key_.get(), ToWide(name).c_str(), nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(&data), &size);
    if (status == ERROR_SUCCESS && size != sizeof(DWORD) && size != sizeof data)
        return ERROR_INVALID_DATA;
    if (status == ERROR_SUCCESS)
        value = data;
    return status;
}

LONG RegKey::SetDword(DWORD value, const std::string& name) const
{
    return RegSetValueExW(key_.get(), ToWide(name).c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&value), sizeof value);
}

LONG RegKey::SetQword(uint64_t value, const std::string& name) const
{
    return RegSetValueExW(key_.get(), ToWide(name).c_str(), 0, REG_QWORD,
                          reinterpret_cast<const BYTE*>(&value), sizeof value);
}

LONG RegKey::SetString(const std::string& text, const std::string& name) const
{
    std::wstring wide = ToWide(text);
    DWORD size = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key_.get(), ToWide(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wide.c_str()), size);
}

#include "framework/RegKey.h"

#include "framework/Utf8.h"

#include <algorithm>

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

LONG RegKey::QueryStrings(std::vector<std::string>& texts, const std::string& name) const
{
    std::wstring wideName = ToWide(name);
    DWORD size = 0;
    LONG status = RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, nullptr, nullptr, &size);
    std::wstring data;
    // The value may grow between the two calls.
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        data.assign(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        status = RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
        if (status == ERROR_SUCCESS)
            break;
    }
    if (status != ERROR_SUCCESS)
        return status;
    data.resize(size / sizeof(wchar_t));
    texts.clear();
    for (size_t start = 0; start < data.size();) {
        size_t end = std::min(data.find(L'\0', start), data.size());
        if (end > start)
            texts.push_back(ToUtf8(std::wstring_view(data).substr(start, end - start)));
        start = end + 1;
    }
    return status;
}

LONG RegKey::SetStrings(const std::vector<std::string>& texts, const std::string& name) const
{
    std::wstring data;
    for (const std::string& text : texts)
        data += ToWide(text) + L'\0';
    data += L'\0';
    return RegSetValueExW(key_.get(), ToWide(name).c_str(), 0, REG_MULTI_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() * sizeof(wchar_t)));
}

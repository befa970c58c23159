#include "tests/support/ScratchRegistry.h"

#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <winternl.h>

extern "C" {
NTSYSAPI NTSTATUS NTAPI NtCreateKey(PHANDLE key, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes,
                                    ULONG index, PUNICODE_STRING keyClass, ULONG options, PULONG disposition);
NTSYSAPI NTSTATUS NTAPI NtSetValueKey(HANDLE key, PUNICODE_STRING name, ULONG index, ULONG type, PVOID data,
                                      ULONG size);
}

namespace {

UNICODE_STRING CountedForTest(std::wstring_view name)
{
    USHORT bytes = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    return {bytes, bytes, const_cast<wchar_t*>(name.data())};
}

RegKeyHandle CreateForTest(const std::string& keyPath, HKEY root = HKEY_CURRENT_USER)
{
    RegKeyHandle key;
    RegCreateKeyExW(root, ToWide(keyPath).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                    nullptr);
    return key;
}

} // namespace

void WriteDwordForTest(const std::string& keyPath, const std::string& name, DWORD value)
{
    RegKeyHandle key = CreateForTest(keyPath);
    RegSetValueExW(key.get(), ToWide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof value);
}

void WriteRawForTest(HKEY root, const std::string& keyPath, const std::string& name, DWORD type,
                     const void* data, DWORD size)
{
    RegKeyHandle key = CreateForTest(keyPath, root);
    RegSetValueExW(key.get(), ToWide(name).c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

void WriteStringsForTest(HKEY root, const std::string& keyPath, const std::string& name,
                         const std::vector<std::string>& strings)
{
    std::wstring data;
    for (const std::string& text : strings)
        data += ToWide(text) + L'\0';
    data += L'\0';
    WriteRawForTest(root, keyPath, name, REG_MULTI_SZ, data.data(),
                    static_cast<DWORD>(data.size() * sizeof(wchar_t)));
}

void WriteQwordForTest(const std::string& keyPath, const std::string& name, uint64_t value)
{
    RegKeyHandle key = CreateForTest(keyPath);
    RegSetValueExW(key.get(), ToWide(name).c_str(), 0, REG_QWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof value);
}

void WriteStringForTest(const std::string& keyPath, const std::string& name, const std::string& text)
{
    RegKeyHandle key = CreateForTest(keyPath);
    std::wstring data = ToWide(text);
    RegSetValueExW(key.get(), ToWide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

std::optional<DWORD> ReadDwordForTest(const std::string& keyPath, const std::string& name)
{
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, ToWide(keyPath).c_str(), ToWide(name).c_str(), RRF_RT_REG_DWORD,
                     nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

std::optional<uint64_t> ReadQwordForTest(const std::string& keyPath, const std::string& name)
{
    uint64_t value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, ToWide(keyPath).c_str(), ToWide(name).c_str(), RRF_RT_REG_QWORD,
                     nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

std::optional<std::string> ReadStringForTest(const std::string& keyPath, const std::string& name)
{
    wchar_t text[1024];
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, ToWide(keyPath).c_str(), ToWide(name).c_str(), RRF_RT_REG_SZ, nullptr,
                     text, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return ToUtf8(text);
}

void DeleteValueForTest(const std::string& keyPath, const std::string& name)
{
    RegDeleteKeyValueW(HKEY_CURRENT_USER, ToWide(keyPath).c_str(), ToWide(name).c_str());
}

bool KeyExistsForTest(const std::string& keyPath)
{
    RegKeyHandle key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(keyPath).c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::vector<std::string> ValueNamesForTest(const std::string& keyPath)
{
    std::vector<std::string> names;
    RegKeyHandle key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(keyPath).c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        LONG status = RegEnumValueW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS)
            break;
        names.push_back(ToUtf8(std::wstring_view(name, length)));
    }
    return names;
}

bool MakeCountedKeyForTest(const std::string& keyPath, std::wstring_view name)
{
    RegKeyHandle parent = CreateForTest(keyPath);
    UNICODE_STRING counted = CountedForTest(name);
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &counted, OBJ_CASE_INSENSITIVE, parent.get(), nullptr);
    HANDLE key = nullptr;
    if (!parent || !NT_SUCCESS(NtCreateKey(&key, KEY_ALL_ACCESS, &attributes, 0, nullptr, 0, nullptr)))
        return false;
    CloseHandle(key);
    return true;
}

bool SetCountedValueForTest(const std::string& keyPath, std::wstring_view name)
{
    RegKeyHandle key = CreateForTest(keyPath);
    UNICODE_STRING counted = CountedForTest(name);
    DWORD data = 1;
    return key && NT_SUCCESS(NtSetValueKey(key.get(), &counted, 0, REG_DWORD, &data, sizeof data));
}

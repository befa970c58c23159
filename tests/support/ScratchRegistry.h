#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

// Direct registry access for checking what the code under test left behind, independent of its own
// registry classes. Key paths are relative to HKEY_CURRENT_USER.
void WriteDwordForTest(const std::string& keyPath, const std::string& name, DWORD value);
void WriteStringForTest(const std::string& keyPath, const std::string& name, const std::string& text);
void WriteQwordForTest(const std::string& keyPath, const std::string& name, uint64_t value);
std::optional<DWORD> ReadDwordForTest(const std::string& keyPath, const std::string& name);
std::optional<uint64_t> ReadQwordForTest(const std::string& keyPath, const std::string& name);
std::optional<std::string> ReadStringForTest(const std::string& keyPath, const std::string& name);
// Writes a REG_MULTI_SZ under root, as a policy editor does.
void WriteStringsForTest(HKEY root, const std::string& keyPath, const std::string& name,
                         const std::vector<std::string>& strings);
// Writes a value of any type with the bytes given, under root.
void WriteRawForTest(HKEY root, const std::string& keyPath, const std::string& name, DWORD type,
                     const void* data, DWORD size);
void DeleteValueForTest(const std::string& keyPath, const std::string& name);
bool KeyExistsForTest(const std::string& keyPath);
// The names of the key's values; empty when the key is missing.
std::vector<std::string> ValueNamesForTest(const std::string& keyPath);

// Makes the subkey name of keyPath, or sets a DWORD value name in it, by the native calls, which take a
// name whole: it may hold a NUL, which no Win32 call can pass. True when it was made.
bool MakeCountedKeyForTest(const std::string& keyPath, std::wstring_view name);
bool SetCountedValueForTest(const std::string& keyPath, std::wstring_view name);

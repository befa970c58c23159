#pragma once
#include "framework/Owners.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// One open registry key. Names are UTF-8; every operation returns the Win32 status of its call.
class RegKey {
public:
    // On success the key held before is closed and the new one kept; on failure nothing changes. options
    // are those of RegOpenKeyExW: REG_OPTION_OPEN_LINK opens a link key itself instead of its target.
    LONG Open(HKEY parent, const std::string& subKey, REGSAM access, DWORD options = 0);
    LONG Create(HKEY parent, const std::string& subKey, REGSAM access, DWORD* disposition = nullptr);
    LONG Close();

    // Reads four bytes whatever the stored type; longer data fails and leaves value unchanged.
    LONG QueryDword(DWORD& value, const std::string& name) const;
    // Reads a string whose data fits in maxChars characters, terminator included; longer data fails and
    // leaves text unchanged. The stored type is not checked.
    LONG QueryString(std::string& text, const std::string& name, DWORD maxChars) const;
    // Reads a count stored in four bytes (an older DWORD) or eight (a QWORD), whatever the stored type;
    // other sizes fail and leave value unchanged.
    LONG QueryCount(uint64_t& value, const std::string& name) const;
    // Reads a REG_MULTI_SZ (or a single string) as its strings, empty ones left out.
    LONG QueryStrings(std::vector<std::string>& texts, const std::string& name) const;
    LONG SetDword(DWORD value, const std::string& name) const;
    LONG SetQword(uint64_t value, const std::string& name) const;
    LONG SetString(const std::string& text, const std::string& name) const;
    LONG SetStrings(const std::vector<std::string>& texts, const std::string& name) const;

    HKEY get() const { return key_.get(); }
    explicit operator bool() const { return static_cast<bool>(key_); }

private:
    RegKeyHandle key_;
};

#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// How every window, the console and the record file write numbers, sizes and counts. On screen they
// follow the user's locale; the record file writes bare digits, so that its lines read the same on
// every machine and scripts can parse them.
class NumberStyle {
public:
    static NumberStyle User() { return NumberStyle(L"", true); }
    static NumberStyle Locale(const wchar_t* name) { return NumberStyle(name, true); }
    static NumberStyle Plain() { return NumberStyle(L"", false); }

    std::string Whole(uint64_t value) const { return Written(value, 0); }
    // A count of tenths with its one decimal: 852 as "85.2".
    std::string Tenths(uint64_t tenths) const { return Written(tenths, 1); }

private:
    NumberStyle(const wchar_t* locale, bool grouped) : locale_(locale), grouped_(grouped) {}
    std::string Written(uint64_t value, unsigned decimals) const;

    const wchar_t* LocaleName() const { return locale_.empty() ? LOCALE_NAME_USER_DEFAULT : locale_.c_str(); }

    std::wstring locale_; // empty for the user's
    bool grouped_;
};

// 1234567 as "1,234,567".
std::string GroupedNumber(uint64_t value, const NumberStyle& style = NumberStyle::User());
// "512 bytes", "7 KB", "85.2 MB", "1.3 GB", "2.0 TB": whole kilobytes below a megabyte, then tenths,
// always rounded down so that a size never shows the next unit's worth.
std::string SizeText(uint64_t bytes, const NumberStyle& style = NumberStyle::User());
// "1 file", "2,311 files".
std::string CountText(uint64_t count, const char* one, const char* many,
                      const NumberStyle& style = NumberStyle::User());
// The date and time in the locale's short date and its time without seconds: "7/3/2026 9:05 AM".
std::string ShortDateTimeText(const SYSTEMTIME& time, const wchar_t* locale = LOCALE_NAME_USER_DEFAULT);

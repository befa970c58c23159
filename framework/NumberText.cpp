#include "framework/NumberText.h"

#include "framework/Utf8.h"

namespace {

constexpr uint64_t kKilobyte = 1024;
constexpr uint64_t kMegabyte = kKilobyte * kKilobyte;

std::wstring LocaleText(const wchar_t* locale, LCTYPE type)
{
    wchar_t text[16] = {};
    return GetLocaleInfoEx(locale, type, text, static_cast<int>(std::size(text))) > 0 ? text : L"";
}

// The locale's "3;0" or "3;2;0" in the digits NUMBERFMT takes: 3, 32 (a last 0 repeats the group
// before it; without one the leftmost digits stay ungrouped, written as a trailing 0).
UINT GroupingNumber(const std::wstring& grouping)
{
    UINT number = 0;
    for (wchar_t c : grouping) {
        if (c >= L'0' && c <= L'9')
            number = number * 10 + static_cast<UINT>(c - L'0');
    }
    bool repeats = grouping.size() >= 2 && grouping.compare(grouping.size() - 2, 2, L";0") == 0;
    return repeats ? number / 10 : number * 10;
}

} // namespace

std::string NumberStyle::Written(uint64_t value, unsigned decimals) const
{
    std::string digits = std::to_string(decimals ? value / 10 : value);
    if (decimals) {
        digits += '.';
        digits += static_cast<char>('0' + value % 10);
    }
    if (!grouped_)
        return digits;
    std::wstring decimal = LocaleText(LocaleName(), LOCALE_SDECIMAL);
    std::wstring thousand = LocaleText(LocaleName(), LOCALE_STHOUSAND);
    NUMBERFMTW format{};
    format.NumDigits = decimals;
    format.LeadingZero = 1;
    format.Grouping = GroupingNumber(LocaleText(LocaleName(), LOCALE_SGROUPING));
    format.lpDecimalSep = decimal.data();
    format.lpThousandSep = thousand.data();
    wchar_t text[64] = {};
    if (GetNumberFormatEx(LocaleName(), 0, ToWide(digits).c_str(), &format, text,
                          static_cast<int>(std::size(text))) <= 0)
        return digits;
    return ToUtf8(text);
}

std::string GroupedNumber(uint64_t value, const NumberStyle& style)
{
    return style.Whole(value);
}

std::string SizeText(uint64_t bytes, const NumberStyle& style)
{
    if (bytes < kKilobyte)
        return CountText(bytes, "byte", "bytes", style);
    if (bytes < kMegabyte)
        return style.Whole(bytes / kKilobyte) + " KB";
    const char* const units[] = {"MB", "GB", "TB"};
    uint64_t unitBytes = kMegabyte;
    size_t unit = 0;
    for (; bytes / unitBytes >= kKilobyte && unit + 1 < std::size(units); ++unit)
        unitBytes *= kKilobyte;
    // Tenths without floating point: exact even for totals near 2^64 bytes.
    uint64_t tenths = bytes / unitBytes * 10 + bytes % unitBytes * 10 / unitBytes;
    return style.Tenths(tenths) + " " + units[unit];
}

std::string CountText(uint64_t count, const char* one, const char* many, const NumberStyle& style)
{
    return style.Whole(count) + " " + (count == 1 ? one : many);
}

std::string ShortDateTimeText(const SYSTEMTIME& time, const wchar_t* locale)
{
    wchar_t date[80] = {};
    wchar_t clock[80] = {};
    if (GetDateFormatEx(locale, DATE_SHORTDATE, &time, nullptr, date, static_cast<int>(std::size(date)),
                        nullptr) <= 0 ||
        GetTimeFormatEx(locale, TIME_NOSECONDS, &time, nullptr, clock, static_cast<int>(std::size(clock))) <=
            0)
        return {};
    return ToUtf8(date) + " " + ToUtf8(clock);
}

#include "framework/LowerCase.h"

#include "framework/Utf8.h"

#include <windows.h>

#include <algorithm>

std::string LowerCase(std::string_view utf8)
{
    // Plain ASCII, as nearly every path and key name is, lower-cases A to Z alone. The system's mapping
    // costs microseconds a call, and detecting thousands of items asks for tens of thousands.
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::string lower(utf8);
        for (char& c : lower) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        return lower;
    }
    std::wstring wide = ToWide(utf8);
    if (wide.empty())
        return {};
    int length = static_cast<int>(wide.size());
    int needed = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, wide.c_str(), length, nullptr, 0,
                               nullptr, nullptr, 0);
    if (needed <= 0)
        return std::string(utf8);
    std::wstring lower(static_cast<size_t>(needed), L'\0');
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, wide.c_str(), length, lower.data(), needed,
                      nullptr, nullptr, 0) != needed)
        return std::string(utf8);
    return ToUtf8(lower);
}

bool SameNameIgnoringCase(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() && CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                                        static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

#include "framework/LowerCase.h"

#include "framework/Utf8.h"

#include <windows.h>

std::string LowerCase(std::string_view utf8)
{
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

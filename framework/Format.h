#pragma once
#include <cstdio>
#include <string>

// printf-style formatting into a std::string of exactly the needed length.
template <typename... Values>
std::string Format(const char* format, Values... values)
{
    int length = std::snprintf(nullptr, 0, format, values...);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, format, values...);
    return text;
}

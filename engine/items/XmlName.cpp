#include "engine/items/XmlName.h"

#include "framework/Utf8.h"

#include <string>

namespace {

bool InRange(char32_t c, char32_t low, char32_t high)
{
    return c >= low && c <= high;
}

bool IsNameStart(char32_t c)
{
    return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || c == U'_' || InRange(c, 0xC0, 0xD6) ||
           InRange(c, 0xD8, 0xF6) || InRange(c, 0xF8, 0x2FF) || InRange(c, 0x370, 0x37D) ||
           InRange(c, 0x37F, 0x1FFF) || InRange(c, 0x200C, 0x200D) || InRange(c, 0x2070, 0x218F) ||
           InRange(c, 0x2C00, 0x2FEF) || InRange(c, 0x3001, 0xD7FF) || InRange(c, 0xF900, 0xFDCF) ||
           InRange(c, 0xFDF0, 0xFFFD) || InRange(c, 0x10000, 0xEFFFF);
}

bool IsNameChar(char32_t c)
{
    return IsNameStart(c) || c == U'-' || c == U'.' || (c >= U'0' && c <= U'9') || c == 0xB7 ||
           InRange(c, 0x300, 0x36F) || InRange(c, 0x203F, 0x2040);
}

// Code points of UTF-16 text; an unpaired surrogate becomes 0, which is no name character.
std::u32string CodePoints(const std::wstring& wide)
{
    std::u32string points;
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (InRange(c, 0xD800, 0xDBFF) && i + 1 < wide.size() && InRange(wide[i + 1], 0xDC00, 0xDFFF))
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
        else if (InRange(c, 0xD800, 0xDFFF))
            c = 0;
        points.push_back(c);
    }
    return points;
}

} // namespace

bool IsXmlName(std::string_view utf8)
{
    if (ToUtf8(ToWide(utf8)) != utf8)
        return false; // not valid UTF-8
    std::u32string points = CodePoints(ToWide(utf8));
    if (points.empty() || !IsNameStart(points[0]))
        return false;
    for (char32_t c : points) {
        if (!IsNameChar(c))
            return false;
    }
    return true;
}

std::string EscapedXmlText(std::string_view utf8)
{
    std::string escaped;
    for (char c : utf8) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

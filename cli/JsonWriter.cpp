#include "cli/JsonWriter.h"

#include <cstdio>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes the UTF-8 sequence at text[at], moving at past it; a malformed one gives U+FFFD and skips a
// single byte.
char32_t NextCodePoint(std::string_view text, size_t& at)
{
    unsigned char lead = static_cast<unsigned char>(text[at++]);
    if (lead < 0x80)
        return lead;
    int length = lead >= 0xF5 ? -1 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (length < 0 || at + length > text.size())
        return kReplacement;
    char32_t code = lead & (0x3F >> length);
    for (int i = 0; i < length; ++i) {
        unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return kReplacement;
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    static const char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || (code >= 0xD800 && code < 0xE000) || code > 0x10FFFF)
        return kReplacement;
    at += length;
    return code;
}

// The two-character escapes JSON has; null for every other character.
const char* ShortEscape(char32_t code)
{
    switch (code) {
    case '"':
        return "\\\"";
    case '\\':
        return "\\\\";
    case '\b':
        return "\\b";
    case '\f':
        return "\\f";
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\t':
        return "\\t";
    }
    return nullptr;
}

void AppendEscape(std::string& text, unsigned unit)
{
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", unit);
    text += escape;
}

} // namespace

void JsonWriter::BeforeValue()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasMembers_.empty()) {
        if (hasMembers_.back())
            text_ += ',';
        hasMembers_.back() = true;
    }
}

JsonWriter& JsonWriter::BeginObject()
{
    BeforeValue();
    text_ += '{';
    hasMembers_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndObject()
{
    text_ += '}';
    hasMembers_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::BeginArray()
{
    BeforeValue();
    text_ += '[';
    hasMembers_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndArray()
{
    text_ += ']';
    hasMembers_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name)
{
    BeforeValue();
    Quoted(name);
    text_ += ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view utf8)
{
    BeforeValue();
    Quoted(utf8);
    return *this;
}

JsonWriter& JsonWriter::Number(uint64_t value)
{
    BeforeValue();
    text_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value)
{
    BeforeValue();
    text_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null()
{
    BeforeValue();
    text_ += "null";
    return *this;
}

void JsonWriter::Quoted(std::string_view utf8)
{
    text_ += '"';
    for (size_t at = 0; at < utf8.size();) {
        char32_t code = NextCodePoint(utf8, at);
        if (const char* escape = ShortEscape(code)) {
            text_ += escape;
        } else if (code >= 0x20 && code < 0x7F) {
            text_ += static_cast<char>(code);
        } else if (code < 0x10000) {
            AppendEscape(text_, static_cast<unsigned>(code));
        } else {
            char32_t offset = code - 0x10000;
            AppendEscape(text_, 0xD800 + static_cast<unsigned>(offset >> 10));
            AppendEscape(text_, 0xDC00 + static_cast<unsigned>(offset & 0x3FF));
        }
    }
    text_ += '"';
}

#include "framework/RecordFile.h"

#include "framework/Utf8.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <filesystem>
#include <fstream>

namespace {

const char kBlanks[] = " \t\r\n\v\f";

std::string Trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Reads one line of any length without its end, whether the file ends lines in LF or CR LF.
bool ReadLine(std::istream& in, std::string& line)
{
    if (!std::getline(in, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

// The leading integer as atoi reads it (blanks, an optional sign, digits), clamped to int.
int LeadingInteger(const std::string& text)
{
    size_t i = text.find_first_not_of(kBlanks);
    if (i == std::string::npos)
        return 0;
    bool negative = text[i] == '-';
    if (text[i] == '-' || text[i] == '+')
        ++i;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), limit);
    return static_cast<int>(negative ? -value : value);
}

} // namespace

std::string RecordFile::GetString(const std::string& section, const std::string& key,
                                  const std::string& defaultValue) const
{
    std::ifstream in(std::filesystem::path(ToExtendedPath(path_)), std::ios::binary);
    if (!in)
        return defaultValue;
    const std::string sectionLine = "[" + section + "]";
    std::string line;
    bool first = true;
    for (;;) {
        if (!ReadLine(in, line))
            return defaultValue;
        // A byte-order mark before the first line is no part of it.
        if (first && line.starts_with("\xEF\xBB\xBF"))
            line.erase(0, 3);
        first = false;
        if (line == sectionLine)
            break;
    }
    while (ReadLine(in, line)) {
        size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string name = Trimmed(line.substr(0, equals));
        if (!name.empty() && name == key)
            return Trimmed(line.substr(equals + 1));
    }
    return defaultValue;
}

int RecordFile::GetInt(const std::string& section, const std::string& key, int defaultValue) const
{
    std::string text = GetString(section, key, "");
    return text.empty() ? defaultValue : LeadingInteger(text);
}

std::optional<uint64_t> RecordFile::GetCount(const std::string& section, const std::string& key) const
{
    constexpr uint64_t kLargest = 1ull << 53;
    std::string text = GetString(section, key, "");
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > kLargest)
            return std::nullopt;
    }
    return value;
}

bool RecordFile::GetBool(const std::string& section, const std::string& key, bool defaultValue) const
{
    std::string text = GetString(section, key, "");
    if (text.empty())
        return defaultValue;
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text == "true";
}

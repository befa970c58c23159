#include "engine/KeepFilter.h"

#include "engine/PathTokens.h"
#include "framework/Utf8.h"

#include <windows.h>

namespace {

constexpr uint64_t kTicksPerHour = 36'000'000'000ULL;

template <typename Text>
std::vector<Text> Parts(Text path)
{
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    std::vector<Text> parts;
    size_t start = 0;
    for (size_t slash; (slash = path.find('\\', start)) != Text::npos; start = slash + 1)
        parts.push_back(path.substr(start, slash - start));
    parts.push_back(path.substr(start));
    return parts;
}

std::vector<NamePattern> PatternParts(const std::string& pattern)
{
    std::vector<NamePattern> parts;
    for (const std::string& part : Parts(pattern))
        parts.emplace_back(part);
    return parts;
}

} // namespace

KeepFilter::KeepFilter(const std::vector<std::string>& keep, int olderThanHours, uint64_t now)
{
    for (const std::string& pattern : keep) {
        std::optional<std::string> expanded = ExpandPathTokens(pattern);
        if (!expanded)
            valid_ = false;
        else
            patterns_.push_back(PatternParts(*expanded));
    }
    uint64_t age = static_cast<uint64_t>(olderThanHours) * kTicksPerHour;
    if (olderThanHours > 0)
        youngest_ = now > age ? now - age : 1;
}

bool KeepFilter::Keeps(const std::string& path, uint64_t lastWrite) const
{
    if (youngest_ != 0 && lastWrite > youngest_)
        return true;
    if (patterns_.empty())
        return false;
    std::vector<std::wstring> parts = Parts(ToWide(path));
    for (const std::vector<NamePattern>& pattern : patterns_) {
        if (pattern.size() > parts.size())
            continue;
        bool inside = true;
        for (size_t i = 0; i < pattern.size() && inside; ++i)
            inside = pattern[i].Matches(parts[i]);
        if (inside)
            return true;
    }
    return false;
}

uint64_t FileTimeNow()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

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

} // namespace

KeepFilter::KeepFilter(const std::vector<std::string>& keep, int olderThanHours, uint64_t now)
{
    for (const std::string& pattern : keep) {
        std::optional<std::string> expanded = ExpandPathTokens(pattern);
        if (!expanded) {
            valid_ = false;
            continue;
        }
        std::vector<Part>& parts = patterns_.emplace_back();
        for (const std::string& part : Parts(*expanded))
            parts.push_back({NamePattern(part), part == "**"});
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
    for (const std::vector<Part>& pattern : patterns_) {
        if (Inside(pattern, 0, parts, 0))
            return true;
    }
    return false;
}

// Whether the path's parts from at on are, or lie inside, what the pattern's parts from next on name.
bool KeepFilter::Inside(const std::vector<Part>& pattern, size_t next, const std::vector<std::wstring>& parts,
                        size_t at)
{
    for (; next < pattern.size(); ++next, ++at) {
        if (pattern[next].anyDepth) {
            for (size_t skipped = at; skipped <= parts.size(); ++skipped) {
                if (Inside(pattern, next + 1, parts, skipped))
                    return true;
            }
            return false;
        }
        if (at >= parts.size() || !pattern[next].name.Matches(parts[at]))
            return false;
    }
    return true;
}

uint64_t FileTimeNow()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

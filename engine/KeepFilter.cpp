#include "engine/KeepFilter.h"

#include "engine/NamePattern.h"
#include "engine/PathTokens.h"
#include "framework/Utf8.h"

#include <windows.h>

namespace {

constexpr uint64_t kTicksPerHour = 36'000'000'000ULL;

std::vector<std::wstring> Parts(const std::string& path)
{
    std::wstring wide = ToWide(path);
    while (!wide.empty() && wide.back() == L'\\')
        wide.pop_back();
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (size_t slash; (slash = wide.find(L'\\', start)) != std::wstring::npos; start = slash + 1)
        parts.push_back(wide.substr(start, slash - start));
    parts.push_back(wide.substr(start));
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
            patterns_.push_back(Parts(*expanded));
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
    std::vector<std::wstring> parts = Parts(path);
    for (const std::vector<std::wstring>& pattern : patterns_) {
        if (pattern.size() > parts.size())
            continue;
        bool inside = true;
        for (size_t i = 0; i < pattern.size() && inside; ++i)
            inside = MatchesWildcard(parts[i], pattern[i]);
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

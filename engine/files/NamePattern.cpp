#include "engine/files/NamePattern.h"

#include "framework/Utf8.h"

#include <windows.h>

namespace {

bool SameLetter(wchar_t a, wchar_t b)
{
    return a == b || CompareStringOrdinal(&a, 1, &b, 1, TRUE) == CSTR_EQUAL;
}

} // namespace

bool MatchesWildcard(std::wstring_view name, std::wstring_view pattern)
{
    size_t n = 0, p = 0;
    size_t starAt = std::wstring_view::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && (pattern[p] == L'?' || SameLetter(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starAt != std::wstring_view::npos) {
            p = starAt + 1; // let the last star take one more character
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*')
        ++p;
    return p == pattern.size();
}

NamePattern::NamePattern(std::string_view pattern) : pattern_(ToWide(pattern))
{
    everything_ = pattern_ == L"*" || pattern_ == L"*.*";
    if (pattern_.size() > 1 && pattern_.back() == L'.') {
        noExtension_ = true;
        pattern_.pop_back();
    }
    orBare_ = pattern_.size() > 2 && pattern_.ends_with(L".*");
}

bool NamePattern::Matches(std::wstring_view name) const
{
    if (everything_)
        return true;
    if (noExtension_)
        return name.find(L'.') == std::wstring_view::npos && MatchesWildcard(name, pattern_);
    if (MatchesWildcard(name, pattern_))
        return true;
    return orBare_ && MatchesWildcard(name, std::wstring_view(pattern_).substr(0, pattern_.size() - 2));
}

bool PartsInside(const PathPattern& pattern, size_t next, const std::vector<std::wstring>& parts, size_t at)
{
    for (; next < pattern.size(); ++next, ++at) {
        if (pattern[next].anyDepth) {
            for (size_t skipped = at; skipped <= parts.size(); ++skipped) {
                if (PartsInside(pattern, next + 1, parts, skipped))
                    return true;
            }
            return false;
        }
        if (at >= parts.size() || !pattern[next].name.Matches(parts[at]))
            return false;
    }
    return true;
}

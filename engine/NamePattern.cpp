#include "engine/NamePattern.h"

#include "framework/Utf8.h"

#include <windows.h>

namespace {

// Upper case as the file system compares names, independent of the user's locale.
std::wstring Upper(std::wstring_view text)
{
    std::wstring upper(text);
    if (!upper.empty())
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(), static_cast<int>(text.size()),
                      upper.data(), static_cast<int>(upper.size()), nullptr, nullptr, 0);
    return upper;
}

// "*" any run, "?" one character; the last "*" seen is where a mismatch resumes.
bool Wildcard(std::wstring_view pattern, std::wstring_view name)
{
    size_t p = 0, n = 0, star = std::wstring_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (star != std::wstring_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*')
        ++p;
    return p == pattern.size();
}

} // namespace

NamePattern::NamePattern(std::string_view pattern) : pattern_(Upper(ToWide(pattern)))
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
    return everything_ || MatchesUpper(Upper(name));
}

bool NamePattern::MatchesUpper(std::wstring_view name) const
{
    if (noExtension_)
        return name.find(L'.') == std::wstring_view::npos && Wildcard(pattern_, name);
    if (Wildcard(pattern_, name))
        return true;
    return orBare_ && Wildcard(std::wstring_view(pattern_).substr(0, pattern_.size() - 2), name);
}

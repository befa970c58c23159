#pragma once
#include <string>
#include <string_view>

// Whether name matches pattern without regard to case: "*" stands for any run of characters, "?" for any
// one. Unlike the system's search it never matches through a short 8.3 name.
bool MatchesWildcard(std::wstring_view name, std::wstring_view pattern);

// A file-name pattern, matched as MatchesWildcard does and the same on every system, with the rules file
// names have always had: "*" and "*.*" match every name; a final "." stands for "no extension" ("*."
// matches only names without a dot); a final ".*" also lets a name match the part before it ("readme.*"
// matches "readme"). Only the long name counts: "*.htm" never matches "page.html" through its short name.
class NamePattern {
public:
    explicit NamePattern(std::string_view pattern);

    bool Matches(std::wstring_view name) const;

private:
    std::wstring pattern_; // without the final "." of "no extension"
    bool everything_ = false;
    bool noExtension_ = false; // the pattern ended in "."
    bool orBare_ = false;      // the pattern ended in ".*"
};

#pragma once
#include <string>
#include <string_view>
#include <vector>

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

// One part of a path pattern: a name pattern, or "**" for any number of parts, none included.
struct PathPatternPart {
    NamePattern name;
    bool anyDepth;
};
using PathPattern = std::vector<PathPatternPart>;

// Whether the path's parts from at on are, or lie inside, what the pattern's parts from next on name.
bool PartsInside(const PathPattern& pattern, size_t next, const std::vector<std::wstring>& parts, size_t at);

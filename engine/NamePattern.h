#pragma once
#include <string>
#include <string_view>

// A file-name pattern matched by one rule of our own, the same on every system: "*" matches any run of
// characters, "?" exactly one, anything else itself, without regard to case. "*" and "*.*" match every
// name; a final "." stands for "no extension" ("*." matches only names without a dot); a final ".*" also
// lets a name match the part before it ("readme.*" matches "readme"). Only the long
// name counts: "*.htm" never matches "page.html" through its short name.
class NamePattern {
public:
    explicit NamePattern(std::string_view pattern);

    bool MatchesEverything() const { return everything_; }
    bool Matches(std::wstring_view name) const;

private:
    bool MatchesUpper(std::wstring_view name) const;

    std::wstring pattern_; // upper-cased, without the final "." of "no extension"
    bool everything_ = false;
    bool noExtension_ = false; // the pattern ended in "."
    bool orBare_ = false;      // the pattern ended in ".*"
};

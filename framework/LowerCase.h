#pragma once
#include <string>
#include <string_view>

// Lower-cases UTF-8 text letter by letter, non-ASCII letters included, independently of the user's locale
// (so "I" never becomes a dotless i).
std::string LowerCase(std::string_view utf8);
// Whether two names are the same as the file system and the registry compare them: letter for letter,
// ignoring case.
bool SameNameIgnoringCase(std::wstring_view a, std::wstring_view b);

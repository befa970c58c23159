#pragma once
#include <string>
#include <string_view>

// Lower-cases UTF-8 text letter by letter, non-ASCII letters included, independently of the user's locale
// (so "I" never becomes a dotless i).
std::string LowerCase(std::string_view utf8);

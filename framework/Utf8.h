#pragma once

#include <string>
#include <string_view>

// The program keeps its strings in UTF-8; these are its only conversions to and from the UTF-16 that the
// W functions of Win32 take. Invalid input sequences become U+FFFD rather than failing.
std::wstring ToWide(std::string_view utf8);
std::string ToUtf8(std::wstring_view wide);

// An absolute drive or UNC path in its extended form (prefix \\?\ or \\?\UNC\), normalised first as Win32
// would (separators, "." and ".."), so that paths longer than MAX_PATH work. Relative paths and paths that
// already carry a \\?\ or \\.\ prefix are only converted.
std::wstring ToExtendedPath(const std::string& utf8Path);

#pragma once
#include <string>
#include <string_view>
#include <vector>

// Whether name matches pattern without regard to case: "*" stands for any run of characters, "?" for any
// one. Unlike the system's search it never matches through a short 8.3 name.
bool MatchesWildcard(std::wstring_view name, std::wstring_view pattern);

// The existing folders that a folder path with wildcards in its parts names, in listing order, each with
// the path's final backslash if it had one; the path itself when no part holds a wildcard. A wildcard part
// matches folders only, by their long names, and never a link (junction, symbolic link, mount point).
std::vector<std::string> ExpandFolderWildcards(const std::string& folder);

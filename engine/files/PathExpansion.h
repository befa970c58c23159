#pragma once
#include "engine/EraseMode.h"

#include <string>
#include <vector>

// The existing folders that a folder path with wildcards in its parts names, in listing order, each with
// the path's final backslash if it had one; the path itself when no part holds a wildcard. A wildcard part
// matches folders only, by their long names, and never a link (junction, symbolic link, mount point).
// A matched folder whose name a plain path would change (a final dot or blank) is given in the extended
// \\?\ form; one whose name no UTF-8 path can hold is told to unreachable as a failure.
std::vector<std::string> ExpandFolderWildcards(const std::string& folder,
                                               EraseListener* unreachable = nullptr);

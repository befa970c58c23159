#pragma once
#include <string>

// The current user's folders that the built-in cleaners empty, in UTF-8 without a trailing backslash;
// empty when the shell has no such folder. None of them is created when it is missing.

// Through the shell's item-id list, the route that also resolves virtual folders to their disk path.
std::string SpecialFolderFromIdList(int csidl);
// Straight from the shell's path lookup.
std::string SpecialFolderPath(int csidl);
// The user's temporary folder, of any length.
std::string TempFolderPath();

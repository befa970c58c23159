#pragma once
#include <windows.h>

#include <set>
#include <string>

// Everything under a folder (entries with their sizes, links not entered) and under a registry key (keys
// and values with their data), to see that a preview left both exactly as they were.
std::set<std::string> FolderSnapshot(const std::string& folder);
std::set<std::string> KeySnapshot(HKEY root, const std::string& keyPath);

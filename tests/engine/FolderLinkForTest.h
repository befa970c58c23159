#pragma once
#include <string>

// Makes link a link to the folder target: a symbolic link where the system lets the user make one,
// else a junction, else (under Wine, which makes neither) a Unix symbolic link. True when link is then a
// reparse point.
bool MakeFolderLinkForTest(const std::string& link, const std::string& target);

// Removes such a link, never its target.
void RemoveFolderLinkForTest(const std::string& link);

// Whether the path names a reparse point.
bool IsLinkForTest(const std::string& path);

#pragma once
#include <string>

// Makes link a link to the folder target: a symbolic link where the system lets the user make one,
// else a junction, else (under Wine, which makes neither) a Unix symbolic link. True when link is then a
// reparse point.
bool MakeFolderLinkForTest(const std::string& link, const std::string& target);

// Removes such a link, never its target.
void RemoveFolderLinkForTest(const std::string& link);

// Makes link a folder link to itself, which no listing gets through (removed as the links above are).
// True when link is then there and cannot be resolved.
bool MakeLinkLoopForTest(const std::string& link);

// Makes link a symbolic link to the file target, else (under Wine) a Unix symbolic link, which lists as a
// plain file and opens its target. True when the link is there.
bool MakeFileLinkForTest(const std::string& link, const std::string& target);

// Removes such a link, never its target.
void RemoveFileLinkForTest(const std::string& link);

// Whether the path names a reparse point.
bool IsLinkForTest(const std::string& path);

// Under Wine only: makes a file (or, with folder, a folder) by the Linux system call, named unixName in
// the folder: a name such as "a\b" that Wine lists but cannot open by that name. False elsewhere.
bool MakeUnixEntryForTest(const std::string& folder, const std::string& unixName, bool isFolder = false);

// Removes what MakeUnixEntryForTest made (a folder once it is empty).
void RemoveUnixEntryForTest(const std::string& folder, const std::string& unixName, bool isFolder = false);

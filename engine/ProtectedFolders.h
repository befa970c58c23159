#pragma once
#include <string>
#include <vector>

// Folders that a plug-in's file commands must never work in: every drive root, the given folders and
// every folder above one of them. A folder is compared as the file system would resolve it (relative
// parts, "." and "..", short names and, when it exists, the links on its way), without regard to case.
class ProtectedFolders {
public:
    // The Windows and system folders, the Program Files folders, the user's profile and application data.
    static ProtectedFolders OfThisSystem();

    explicit ProtectedFolders(const std::vector<std::string>& folders);

    // Whether folder is a drive root or a protected folder or one of their parents. A folder that cannot
    // be resolved counts as protected.
    bool Covers(const std::string& folder) const;

private:
    bool CoversResolved(const std::wstring& folder) const;

    std::vector<std::wstring> folders_; // resolved
};

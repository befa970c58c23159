#pragma once
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

// Folders that a plug-in's file commands must never work in: every drive root, the given folders and
// every folder above one of them, and the trees given (where the system lives) with all that is inside.
// A folder is compared as the file system would resolve it (relative parts, "." and "..", short names
// and, when it exists, the links on its way), without regard to case.
class ProtectedFolders {
public:
    // The Windows and system folders, the Program Files folders, and every known folder that holds the
    // user's or the machine's own data (the profile, Documents, Desktop, the application data roots,
    // ProgramData, Public, the Start menu ...); the trees are the system folders, the side-by-side store,
    // drivers' setup files, boot files and fonts.
    static ProtectedFolders OfThisSystem();
    // The same without the one known folder that a cleaner is made to empty (the Favorites): any other
    // known folder in the same place still protects it.
    static ProtectedFolders OfThisSystemFor(REFKNOWNFOLDERID emptiedFolder);

    explicit ProtectedFolders(const std::vector<std::string>& folders,
                              const std::vector<std::string>& trees = {});

    // Whether folder is a drive root or a protected folder or one of their parents, or lies in a protected
    // tree. A folder that cannot be resolved counts as protected.
    bool Covers(const std::string& folder) const;

    // Whether not even a file that a plug-in names one by one may go from folder: a drive root, a folder
    // inside or above a protected tree, or one that cannot be resolved. Named files may go from the
    // other protected folders (the profile, the application data roots ...), which only must not be emptied.
    bool RefusesNamedFile(const std::string& folder) const;
    // Whether files that a pattern of more than wildcards names (acrobat*.log) may go from folder: only
    // directly in an application data root (%appdata%, %localappdata%, %localappdatalow%), never in the
    // user's own folders such as the profile or Documents.
    bool AllowsNarrowPattern(const std::string& folder) const;

private:
    bool CoversResolved(const std::wstring& folder) const;
    bool HoldsSystemResolved(const std::wstring& folder) const;
    // Whether the test holds for the folder as written or, where links lead elsewhere, as it really is.
    template <typename Test>
    bool Resolves(const std::string& folder, Test test) const;

    std::vector<std::wstring> folders_;   // resolved
    std::vector<std::wstring> trees_;     // resolved
    std::vector<std::wstring> dataRoots_; // resolved; only those of this system
};

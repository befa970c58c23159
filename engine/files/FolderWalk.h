#pragma once
#include <windows.h>

#include <string>
#include <unordered_set>

// What a folder walk does with the entries it reaches. The walk itself changes nothing, so a visitor that
// only looks sees exactly what a deleting one would touch. Paths are in the extended \\?\ form.
class FolderVisitor {
public:
    virtual void OnFile(const std::wstring& path, const WIN32_FIND_DATAW& entry) = 0;
    // A link to a folder (junction, symbolic link, mount point), which the walk never enters.
    virtual void OnFolderLink(const std::wstring& path) = 0;
    // A subfolder, after the walk has visited what matched inside it; matched: its own name matches.
    virtual void OnFolderDone(const std::wstring& path, bool matched) = 0;
    // A folder to walk (the given one or a subfolder, path ending in a backslash) that is there but could
    // not be listed, with the system's error: nothing in it is reached. A missing folder is not told; a
    // subfolder that its folder lists but the system cannot find by that name is told with
    // ERROR_INVALID_NAME.
    virtual void OnUnlistable(const std::wstring& path, unsigned long error) = 0;
    // Asked before each entry: true ends the walk there, every subfolder entered so far reported done.
    virtual bool StopRequested() const { return false; }

protected:
    ~FolderVisitor() = default;
};

// The folder as the walk names it: extended form, spelled as on disk, ending in a backslash. Visited paths
// begin with it.
std::wstring WalkRoot(const std::string& folder);

// Visits the entries of folder whose names match pattern (as NamePattern matches them), depth first.
// With recurse, each matching subfolder is walked with the same pattern before it is reported done.
// With everySubfolder, every subfolder is walked (never a link); the pattern picks the files, and the
// folders and links reported as matched.
// The depth is bounded only by the file system: the walk keeps its own stack, one search per level.
void WalkFolder(const std::string& folder, const std::string& pattern, bool recurse, FolderVisitor& visitor,
                bool everySubfolder = false);

// The names now in folder (extended form, without a final backslash), as listed.
std::unordered_set<std::wstring> NamesInFolder(const std::wstring& folder);

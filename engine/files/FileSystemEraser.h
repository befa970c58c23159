#pragma once
#include "engine/EraseMode.h"

#include <cstdint>
#include <string>
#include <vector>

// Deletes what matches pattern in folder (and, with recurse, in the subfolders whose names match, which
// are then removed when empty). The folder itself stays. Each deleted file adds 1 to files and its size
// (its low 32 bits) to bytes once its name is gone from its folder; what cannot be deleted, or stays
// after its deletion, is skipped and not counted. Links (to folders, and files that resolve elsewhere
// than their own place in the folder) are never followed, are removed where the system can remove the
// link itself, and are not counted. A preview deletes nothing and counts each file that an erase could
// open for deletion now (not held open by another program without delete sharing, not denied to this
// user). With options.secureDeletion each file is overwritten, renamed and deleted (OverwriteAndDelete),
// one that cannot be opened for writing is left and told (OnNotOverwritten), and emptied folders are
// renamed before they go.
void DeleteInFolder(const std::string& folder, const std::string& pattern, bool recurse, uint64_t& files,
                    uint64_t& bytes, const EraseOptions& options = {});

// DeleteInFolder, but entering every subfolder (never a link); the pattern, matched by long names, picks
// the files deleted at every level and the subfolders removed once empty.
void DeleteInEveryFolder(const std::string& folder, const std::string& pattern, uint64_t& files,
                         uint64_t& bytes, const EraseOptions& options = {});

// DeleteInFolder with the path split at its last "\" into folder and pattern. A path without "\" is
// looked up in the root of the current drive; a path ending in "\" deletes nothing.
void DeleteFilesByPattern(const std::string& path, bool recurse, uint64_t& files, uint64_t& bytes,
                          const EraseOptions& options = {});

// The folder part of a pattern path as DeleteFilesByPattern splits it, up to and including the last "\".
std::string FolderOfPatternPath(const std::string& path);

// The root paths of the logical drives ("C:\" ...).
std::vector<std::string> GetDriveRoots();

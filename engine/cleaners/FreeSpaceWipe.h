#pragma once
#include "engine/EraseMode.h"

#include <cstdint>
#include <string>
#include <vector>

// The hidden folder a wipe writes into, at the root of the drive it wipes. Nothing else ever lies in it.
extern const char kWipeFolderName[];

struct FreeSpaceWipeResult {
    std::string root;        // the drive wiped, "D:\"
    uint64_t freeBefore = 0; // bytes this user could write when the wipe began
    uint64_t written = 0;    // bytes of zeros written through to the disk
    uint64_t largeFiles = 0; // files of zeros filling the clusters
    uint64_t smallFiles = 0; // files filling the file system's free records after the clusters
    bool stopped = false;    // ended early on request; what it wrote is removed all the same
    // The drive was filled to its last cluster, and nothing of the wipe is left.
    bool complete = false;
};

// Overwrites the free space of a local drive (root "D:\" or "D:"): files of zeros in the wipe's folder,
// in large blocks first and smaller ones down to a cluster, until the drive is full; then as many small
// files as the file system takes, where a file system keeps small files inside its own records. All are
// written through to the disk, then deleted at once, so the drive is full only for moments. A stop
// request ends the writing at the next block and removes what was written. Tells the listener the free
// space (OnFreeSpace), the bytes written as they go (OnFilesHandled, counting nothing) and each failure;
// a preview only tells the free space. Never writes outside its folder, never follows a link.
FreeSpaceWipeResult WipeFreeSpace(const std::string& driveRoot, const EraseOptions& options = {});

// The root of the drive Windows is installed on, "C:\".
std::string SystemDriveRoot();

// Removes what a wipe that was ended before it could clean up (the process was killed, the machine went
// off) left on the local drives among these roots: its folder with its files. A wipe still running, in
// this process or another, keeps its own.
void RemoveInterruptedWipes(const std::vector<std::string>& driveRoots);

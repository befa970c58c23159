#pragma once
#include "engine/files/FileResult.h"

#include <windows.h>

#include <string>

// Overwrites the file of handle in place and deletes it: every stream over its whole length with zeros,
// one pass, written through to the disk before the next step and never truncated first (a shorter file
// would free its clusters, and the zeros would land elsewhere); then gives it a random name of the same
// length in its folder, so that the folder keeps no trace of its name either, and marks it for deletion.
// handle: opened by path (extended form) without sharing, with GENERIC_WRITE and DELETE, and checked to be
// the entry itself. A file with other names is left: overwriting it would reach data under those names.
// Deleted with a note where the file system may keep copies elsewhere (compressed, encrypted, sparse).
FileResult OverwriteAndDelete(HANDLE handle, const std::wstring& path);

// Writes zeros over the first size bytes of the stream, in place, and flushes them to the disk; the
// handle's own position does not matter.
bool WriteZerosOver(HANDLE stream, uint64_t size);

// A file left because it could not be opened or overwritten, for the system's error: "not overwritten: in
// use", "not overwritten: access denied", or the system's own words. A file that is gone is no failure.
FileResult NotOverwritten(DWORD error);

// Removes the empty folder at path (extended form), renamed at random first; false when it is not empty
// or cannot go, and then it keeps its name.
bool RemoveFolderRenamed(const std::wstring& path);

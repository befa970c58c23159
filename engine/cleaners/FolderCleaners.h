#pragma once
#include "engine/EraseMode.h"
#include "engine/EraseTally.h"
#include "engine/files/ProtectedFolders.h"

#include <functional>
#include <string>

// The built-in cleaners that empty one of the user's folders: the folder's contents go and are counted
// into the tally, the folder itself stays. A folder the shell cannot name is left alone, and so is one
// that no cleaner may empty: a drive root, the Windows, system or Program Files folders, a known folder of
// the user's or the machine's data (the profile, Documents, the application data roots, ProgramData ...),
// or a parent of one of them (a TEMP variable set to "C:\" or to Documents happens). Such a folder is
// reported as refused.

// Empties the folder, with its subfolders when recurse is set; nothing for an empty path or one that
// protectedFolders covers.
void EmptyUserFolder(const std::string& folder, bool recurse, EraseTally& tally,
                     const ProtectedFolders& protectedFolders = ProtectedFolders::OfThisSystem(),
                     const EraseOptions& options = {});

// The browser cache, emptied twice in a row: files the browser was still holding are tried once more.
// betweenPasses runs after the first pass. A preview walks it once: the second pass of an erase finds
// only what the first could not delete.
void DeleteInternetCache(EraseTally& tally, const EraseOptions& options = {},
                         const std::function<void()>& betweenPasses = {});
void DeleteCookies(EraseTally& tally, const EraseOptions& options = {});
// Only the shortcuts directly in the recent folder: its subfolders hold the jump lists, whose files
// also keep the items the user pinned, and the jump-list item clears those on request.
void DeleteRecentDocuments(EraseTally& tally, const EraseOptions& options = {});
void DeleteTempFiles(EraseTally& tally, const EraseOptions& options = {});
void DeleteFavorites(EraseTally& tally, const EraseOptions& options = {});
void DeleteNetHood(EraseTally& tally, const EraseOptions& options = {});

#include "engine/cleaners/FolderCleaners.h"

#include "engine/files/FileSystemEraser.h"
#include "engine/files/FolderLocations.h"

#include <shlobj.h>

namespace {

const char kEverything[] = "*.*";

} // namespace

void EmptyUserFolder(const std::string& folder, bool recurse, EraseTally& tally,
                     const ProtectedFolders& protectedFolders, const EraseOptions& options)
{
    // An empty path would turn into the root of the current drive.
    if (folder.empty())
        return;
    if (protectedFolders.Covers(folder)) {
        options.Listener().OnRefused(folder);
        return;
    }
    DeleteInFolder(folder, kEverything, recurse, tally.filesErased, tally.bytesReleased, options);
}

namespace {

void EmptyThisSystemsFolder(const std::string& folder, bool recurse, EraseTally& tally,
                            const EraseOptions& options)
{
    EmptyUserFolder(folder, recurse, tally, ProtectedFolders::OfThisSystem(), options);
}

} // namespace

void DeleteInternetCache(EraseTally& tally, const EraseOptions& options,
                         const std::function<void()>& betweenPasses)
{
    std::string folder = SpecialFolderFromIdList(CSIDL_INTERNET_CACHE);
    EmptyThisSystemsFolder(folder, true, tally, options);
    if (options.Preview())
        return;
    if (betweenPasses)
        betweenPasses();
    EmptyThisSystemsFolder(folder, true, tally, options);
}

void DeleteCookies(EraseTally& tally, const EraseOptions& options)
{
    EmptyThisSystemsFolder(SpecialFolderFromIdList(CSIDL_COOKIES), true, tally, options);
}

void DeleteRecentDocuments(EraseTally& tally, const EraseOptions& options)
{
    EmptyThisSystemsFolder(SpecialFolderFromIdList(CSIDL_RECENT), false, tally, options);
}

void DeleteTempFiles(EraseTally& tally, const EraseOptions& options)
{
    EmptyThisSystemsFolder(TempFolderPath(), true, tally, options);
}

// Emptying the Favorites is this cleaner's whole purpose, but not when they share their place with
// another of the user's folders.
void DeleteFavorites(EraseTally& tally, const EraseOptions& options)
{
    EmptyUserFolder(SpecialFolderPath(CSIDL_FAVORITES), true, tally,
                    ProtectedFolders::OfThisSystemFor(FOLDERID_Favorites), options);
}

void DeleteNetHood(EraseTally& tally, const EraseOptions& options)
{
    EmptyThisSystemsFolder(SpecialFolderPath(CSIDL_NETHOOD), true, tally, options);
}

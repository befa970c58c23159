#include "engine/FolderCleaners.h"

#include "engine/FileSystemEraser.h"
#include "engine/FolderLocations.h"

#include <shlobj.h>

namespace {

const char kEverything[] = "*.*";

} // namespace

void EmptyUserFolder(const std::string& folder, bool recurse, EraseTally& tally,
                     const ProtectedFolders& protectedFolders)
{
    // An empty path would turn into the root of the current drive.
    if (folder.empty() || protectedFolders.Covers(folder))
        return;
    DeleteInFolder(folder, kEverything, recurse, tally.filesErased, tally.bytesReleased);
}

void DeleteInternetCache(EraseTally& tally, const std::function<void()>& betweenPasses)
{
    std::string folder = SpecialFolderFromIdList(CSIDL_INTERNET_CACHE);
    EmptyUserFolder(folder, true, tally);
    if (betweenPasses)
        betweenPasses();
    EmptyUserFolder(folder, true, tally);
}

void DeleteCookies(EraseTally& tally)
{
    EmptyUserFolder(SpecialFolderFromIdList(CSIDL_COOKIES), true, tally);
}

void DeleteRecentDocuments(EraseTally& tally)
{
    EmptyUserFolder(SpecialFolderFromIdList(CSIDL_RECENT), false, tally);
}

void DeleteTempFiles(EraseTally& tally)
{
    EmptyUserFolder(TempFolderPath(), true, tally);
}

void DeleteFavorites(EraseTally& tally)
{
    EmptyUserFolder(SpecialFolderPath(CSIDL_FAVORITES), true, tally);
}

void DeleteNetHood(EraseTally& tally)
{
    EmptyUserFolder(SpecialFolderPath(CSIDL_NETHOOD), true, tally);
}

#include "engine/BuiltInCleaners.h"

#include "app/AppPaths.h"
#include "engine/AutoCompleteCleaners.h"
#include "engine/FileSystemEraser.h"
#include "engine/FolderCleaners.h"
#include "engine/RecycleBinCleaner.h"
#include "engine/UrlHistoryCleaner.h"

#include <vector>

namespace {

void RunCacheCleaner(EraseTally& tally) { DeleteInternetCache(tally); }
void RunHistoryCleaner(EraseTally&) { ClearUrlHistory(); }
void RunFormsCleaner(EraseTally&) { DeleteProtectedStorageForms(GetWindowsVersion()); }
void RunIntelliFormsCleaner(EraseTally&) { DeleteIntelliForms(); }
void RunRecycleBinCleaner(EraseTally& tally) { EmptyRecycleBins(GetDriveRoots(), tally); }

} // namespace

std::span<const BuiltInCleaner> BuiltInCleaners()
{
    // One row per cleaner; a name without a row is skipped like an unknown one.
    static const std::vector<BuiltInCleaner> cleaners = {
        {"delete-ie-cache", RunCacheCleaner},
        {"delete-ie-cookie", DeleteCookies},
        {"delete-ie-history", RunHistoryCleaner},
        {"delete-ie-auto-complete-form", RunFormsCleaner},
        {"delete-ie-auto-complete-password", RunIntelliFormsCleaner},
        {"delete-ie-favorite", DeleteFavorites},
        {"delete-recent-documents", DeleteRecentDocuments},
        {"delete-temp-files", DeleteTempFiles},
        {"empty-recycle-bin", RunRecycleBinCleaner},
        {"delete-net-hood", DeleteNetHood},
    };
    return cleaners;
}

const BuiltInCleaner* FindCleaner(std::span<const BuiltInCleaner> cleaners, std::string_view name)
{
    for (const BuiltInCleaner& cleaner : cleaners) {
        if (cleaner.name == name)
            return &cleaner;
    }
    return nullptr;
}

#include "engine/cleaners/BuiltInCleaners.h"

#include "engine/cleaners/AutoCompleteCleaners.h"
#include "engine/cleaners/ClipboardCleaner.h"
#include "engine/cleaners/DnsCacheCleaner.h"
#include "engine/cleaners/FolderCleaners.h"
#include "engine/cleaners/FreeSpaceWipe.h"
#include "engine/cleaners/NotepadHistoryCleaner.h"
#include "engine/cleaners/RecycleBinCleaner.h"
#include "engine/cleaners/UrlHistoryCleaner.h"
#include "engine/files/FileSystemEraser.h"

#include <vector>

namespace {

void RunCacheCleaner(EraseTally& tally, const EraseOptions& options)
{
    DeleteInternetCache(tally, options);
}

// The cleaners whose stores tell nothing of what they held: a preview cannot count them, and an erase
// counts nothing for them.
template <void (*clean)()>
void RunUncounted(const char* what, const EraseOptions& options)
{
    options.Listener().OnUncounted(what);
    if (!options.Preview())
        clean();
}

void RunHistoryCleaner(EraseTally&, const EraseOptions& options)
{
    RunUncounted<ClearUrlHistory>(
        "the browser's URL history store: it tells nothing of how many entries it held", options);
}

// The stores differ by Windows version: the run's options tell which one this is.
void RunFormsCleaner(EraseTally&, const EraseOptions& options)
{
    options.Listener().OnUncounted("the form data in protected storage: its entries cannot be counted");
    if (!options.Preview())
        DeleteProtectedStorageForms(options.windowsVersion);
}

void RunIntelliFormsCleaner(EraseTally&, const EraseOptions& options)
{
    RunUncounted<DeleteIntelliForms>(
        "the browser's stored passwords and form entries: they cannot be counted", options);
}

void RunClipboardCleaner(EraseTally&, const EraseOptions& options)
{
    options.Listener().OnUncounted("the clipboard's contents and its history: they are not counted");
    if (options.Preview())
        return;
    if (!EmptyTheClipboard())
        options.Listener().OnFailure("clipboard", "another program holds it open");
    if (ClearClipboardHistory() == ClipboardHistoryResult::Failed)
        options.Listener().OnFailure("clipboard history", "Windows did not clear it");
}

void RunRecycleBinCleaner(EraseTally& tally, const EraseOptions& options)
{
    EmptyRecycleBins(GetDriveRoots(), tally, options);
}

// The drive Windows is on: the one that holds the user's profile, temporary files and their deleted copies.
void RunFreeSpaceWipe(EraseTally&, const EraseOptions& options)
{
    WipeFreeSpace(SystemDriveRoot(), options);
}

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
        {"empty-clipboard", RunClipboardCleaner},
        {"delete-notepad-plus-plus-history", ClearNotepadPlusPlusHistory},
        {"flush-dns-cache", FlushDnsCache},
        {"wipe-free-space", RunFreeSpaceWipe},
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

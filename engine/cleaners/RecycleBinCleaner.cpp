#include "engine/cleaners/RecycleBinCleaner.h"

#include "framework/Utf8.h"

#include <windows.h>
#include <shellapi.h>

void EmptyRecycleBins(const std::vector<std::string>& driveRoots, EraseTally& tally,
                      const EraseOptions& options)
{
    for (const std::string& root : driveRoots) {
        SHQUERYRBINFO bin{};
        bin.cbSize = sizeof bin;
        if (SHQueryRecycleBinW(ToWide(root).c_str(), &bin) != S_OK)
            continue;
        tally.filesErased += static_cast<uint64_t>(bin.i64NumItems);
        tally.bytesReleased += static_cast<uint64_t>(bin.i64Size);
        if (bin.i64NumItems > 0)
            options.Listener().OnRecycleBin(root, bin.i64NumItems, bin.i64Size);
    }
    if (options.Preview())
        return;
    // No confirmation, but the shell may still show its progress and play its sound.
    SHEmptyRecycleBinW(nullptr, nullptr, SHERB_NOCONFIRMATION);
}

#include "engine/cleaners/RecycleBinCleaner.h"

#include "engine/files/FileSystemEraser.h"
#include "engine/registry/UserSid.h"
#include "framework/Utf8.h"

#include <windows.h>
#include <shellapi.h>

namespace {

// The folder of the user's bin on a drive, as Windows keeps it since Vista; empty when it is not there.
std::string UserBinFolder(const std::string& root, const std::string& sid)
{
    std::string folder = root + "$Recycle.Bin\\" + sid;
    DWORD attributes = GetFileAttributesW(ToExtendedPath(folder).c_str());
    bool found = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                 !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    return found ? folder : std::string();
}

// Overwrites and deletes what the bin of each root holds (the bins were counted already, so the walk's
// own counts are not added). The bins are emptied only when every one was reached and nothing stayed:
// emptying would delete what could not be overwritten, or a bin kept where Vestrel cannot see it.
bool OverwriteBins(const std::vector<std::string>& roots, const EraseOptions& options)
{
    std::string sid = UserSid::OfCurrentProcess().Text();
    bool everything = !sid.empty();
    for (const std::string& root : roots) {
        SHQUERYRBINFO bin{};
        bin.cbSize = sizeof bin;
        if (sid.empty() || SHQueryRecycleBinW(ToWide(root).c_str(), &bin) != S_OK || bin.i64NumItems == 0)
            continue;
        std::string folder = UserBinFolder(root, sid);
        if (folder.empty()) {
            options.Listener().OnNotOverwritten(
                root + "$Recycle.Bin", "not overwritten: the recycle bin is not where Windows keeps it");
            everything = false;
            continue;
        }
        uint64_t files = 0, bytes = 0;
        DeleteInEveryFolder(folder, "*", files, bytes, options);
        SHQUERYRBINFO after{};
        after.cbSize = sizeof after;
        everything &= SHQueryRecycleBinW(ToWide(root).c_str(), &after) == S_OK && after.i64NumItems == 0;
    }
    return everything;
}

} // namespace

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
    if (options.secureDeletion && !OverwriteBins(driveRoots, options))
        return;
    // No confirmation, but the shell may still show its progress and play its sound.
    SHEmptyRecycleBinW(nullptr, nullptr, SHERB_NOCONFIRMATION);
}

#pragma once
#include "engine/items/EraseItem.h"
#include "engine/items/ItemSelection.h"
#include "engine/items/PluginCache.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Every erase item of the plug-in folder, read and sorted into the checked, unchecked, failed and
// undetected lists. Each list keeps file order, and every item is in exactly one of them.
class EraseItemList {
public:
    // Reads every "*.aep" file directly in the folder (not in subfolders), choosing parameter variants
    // for the Windows version; a loaded item is checked when the selection says so. With a cache file, an
    // unchanged file's item is taken from the cache, which is then brought up to date.
    EraseItemList(const std::string& pluginFolder, double windowsVersion, const ItemSelection& selection,
                  const PluginCacheFile& cacheFile = {});
    EraseItemList(const EraseItemList&) = delete;
    EraseItemList& operator=(const EraseItemList&) = delete;

    const std::vector<std::string>& FileNames() const { return fileNames_; }
    std::vector<EraseItem>& Items() { return items_; }
    const std::vector<EraseItem>& Items() const { return items_; }

    const std::vector<EraseItem*>& Checked() const { return checked_; }
    const std::vector<EraseItem*>& Unchecked() const { return unchecked_; }
    const std::vector<EraseItem*>& Failed() const { return failed_; }
    // Loaded, but none of their detect paths exists: listed nowhere and never run.
    const std::vector<EraseItem*>& Undetected() const { return undetected_; }

    // Sums over the checked list.
    uint64_t TotalFilesErased() const;
    uint64_t TotalBytesReleased() const;
    uint64_t TotalRegistryEntriesErased() const;

    // The id of the first loaded item with exactly this description, or an empty text. Failed items are
    // passed over: their ids are never run or stored, and may not even be valid names.
    std::string IdForDescription(std::string_view descript) const;
    // The first failed item named id: by the id read from its file, or, for a file too broken to give
    // one, by its file name without the extension (in any case). Null when there is none.
    const EraseItem* FailedItemNamed(std::string_view id) const;

private:
    uint64_t SumOverChecked(uint64_t EraseTally::*counter) const;

    std::vector<std::string> fileNames_;
    std::vector<EraseItem> items_;
    std::vector<EraseItem*> checked_;
    std::vector<EraseItem*> unchecked_;
    std::vector<EraseItem*> failed_;
    std::vector<EraseItem*> undetected_;
};

// The name of the item's plug-in file, without its folder.
std::string PluginFileName(const EraseItem& item);
// What the item removes, in its plug-in's words; a plug-in that says nothing gets a sentence naming it, so
// that no row goes without an explanation.
std::string ItemExplanation(const EraseItem& item);

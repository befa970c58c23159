#pragma once
#include "run/EraseCounter.h"
#include "run/ItemReport.h"
#include "engine/EraseTally.h"
#include "framework/NumberText.h"

#include <cstdint>
#include <memory>
#include <string>

// What erasing one item would remove, as the same walk in preview mode counts it.
struct ItemPreview {
    EraseTally tally;
    bool uncounted = false;
    unsigned refused = 0;      // targets the rules keep it from
    unsigned keptForSites = 0; // folders left whole for sites to keep
    unsigned wouldFail = 0;    // entries that could not be removed now, in use for example
    uint64_t freeSpace = 0;    // bytes of free space a wipe would overwrite
    // "skipped: Chrome is running" when the item would do nothing now; empty when it runs.
    std::string skipped;
    // Why the walk ended early, so that its count falls short; empty when it ended.
    std::string failure;
    // Every entry the walk reached, as vestrel-cli preview lists it; shared, as it may hold 100,000 files.
    std::shared_ptr<const ItemReport> report;
};

// What one item's preview walk reached: the counts and the report, the item's own skip reason added.
ItemPreview PreviewOf(ItemReport report, const std::string& skipped);

// "1,234 files, 56.3 MB", "3 registry entries", "12 cookies", "20.5 GB to overwrite" (free space),
// "2 kept for sites", "1 refused", "4 would fail",
// "uncounted",
// "skipped: ...", "failed: ...", "nothing to erase".
std::string PreviewText(const ItemPreview& preview);
// "12 files in use, 2 denied, 1 refused"; empty when nothing was left.
std::string LeftoversText(const Leftovers& left);

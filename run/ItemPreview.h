#pragma once
#include "run/EraseCounter.h"
#include "engine/EraseTally.h"
#include "framework/NumberText.h"

#include <cstdint>
#include <string>

// What erasing one item would remove, as the same walk in preview mode counts it.
struct ItemPreview {
    EraseTally tally;
    bool uncounted = false;
    unsigned refused = 0;      // targets the rules keep it from
    unsigned keptForSites = 0; // folders left whole for sites to keep
    // "skipped: Chrome is running" when the item would do nothing now; empty when it runs.
    std::string skipped;
    // Why the walk ended early, so that its count falls short; empty when it ended.
    std::string failure;
};

// "1,234 files, 56.3 MB", "3 registry entries", "12 cookies", "2 kept for sites", "1 refused", "uncounted",
// "skipped: ...", "failed: ...", "nothing to erase".
std::string PreviewText(const ItemPreview& preview);
// "12 files in use, 2 denied, 1 refused"; empty when nothing was left.
std::string LeftoversText(const Leftovers& left);

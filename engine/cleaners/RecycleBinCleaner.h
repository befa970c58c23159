#pragma once
#include "engine/EraseMode.h"
#include "engine/EraseTally.h"

#include <string>
#include <vector>

// Counts the items and bytes in the recycle bin of each drive root, then empties every bin at once. The
// counts are what the bins held before, whether or not emptying succeeds; a preview counts and empties
// nothing.
void EmptyRecycleBins(const std::vector<std::string>& driveRoots, EraseTally& tally,
                      const EraseOptions& options = {});

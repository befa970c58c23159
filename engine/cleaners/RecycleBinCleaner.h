#pragma once
#include "engine/EraseMode.h"
#include "engine/EraseTally.h"

#include <string>
#include <vector>

// Counts the items and bytes in the recycle bin of each drive root, then empties every bin at once. The
// counts are what the bins held before, whether or not emptying succeeds; a preview counts and empties
// nothing. An overwriting erase overwrites what each bin holds first and empties the bins only when nothing
// stayed in any of them; what it could not reach is told.
void EmptyRecycleBins(const std::vector<std::string>& driveRoots, EraseTally& tally,
                      const EraseOptions& options = {});

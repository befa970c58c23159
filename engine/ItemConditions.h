#pragma once
#include "engine/EraseItem.h"

#include <string>

// The name of the first of the item's programs that runs in this session now; empty when none does. A
// process whose session cannot be told counts as running here.
std::string RunningProgramName(const EraseItem& item);

// Whether any of the item's detect paths exists: a registry key or value, or a file or folder (tokens
// expanded, folder wildcards allowed). An item without detect paths is always found.
bool IsDetected(const EraseItem& item);

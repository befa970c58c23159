#pragma once
#include "engine/items/EraseItem.h"

#include <windows.h>

#include <string>
#include <vector>

// The item's programs that run in this session now: the name of the first one found, and every process of
// each of them. A process whose session, or whose file where the program names its folder, cannot be told
// counts as running here.
struct RunningPrograms {
    std::string name; // empty when none runs
    std::vector<DWORD> processIds;
};
RunningPrograms FindRunningPrograms(const EraseItem& item);

// The name of the first of the item's programs that runs in this session now; empty when none does.
std::string RunningProgramName(const EraseItem& item);

// Whether any of the item's detect paths exists: a registry key or value, or a file or folder (tokens
// expanded, folder wildcards allowed). An item without detect paths is always found.
bool IsDetected(const EraseItem& item);

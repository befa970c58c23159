#pragma once
#include "engine/EraseMode.h"
#include "engine/EraseTally.h"

#include <span>
#include <string_view>

// A cleaner that an "advance" item names; the folder cleaners and the recycle bin count into the tally,
// the others do not (and tell the listener so). In a preview a cleaner only counts.
struct BuiltInCleaner {
    std::string_view name;
    void (*run)(EraseTally& tally, const EraseOptions& options);
};

// Every built-in cleaner, by the exact name a plug-in uses.
std::span<const BuiltInCleaner> BuiltInCleaners();

// The cleaner of that exact name in the table, or null.
const BuiltInCleaner* FindCleaner(std::span<const BuiltInCleaner> cleaners, std::string_view name);

#pragma once
#include "engine/EraseTally.h"

#include <span>
#include <string_view>

// A cleaner that an "advance" item names; the folder cleaners count into the tally, the others do not.
struct BuiltInCleaner {
    std::string_view name;
    void (*run)(EraseTally& tally);
};

// Every built-in cleaner, by the exact name a plug-in uses.
std::span<const BuiltInCleaner> BuiltInCleaners();

// The cleaner of that exact name in the table, or null.
const BuiltInCleaner* FindCleaner(std::span<const BuiltInCleaner> cleaners, std::string_view name);

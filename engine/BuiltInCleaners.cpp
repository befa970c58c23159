#include "engine/BuiltInCleaners.h"

#include <vector>

std::span<const BuiltInCleaner> BuiltInCleaners()
{
    // One row per cleaner; a name without a row is skipped like an unknown one.
    static const std::vector<BuiltInCleaner> cleaners = {};
    return cleaners;
}

const BuiltInCleaner* FindCleaner(std::span<const BuiltInCleaner> cleaners, std::string_view name)
{
    for (const BuiltInCleaner& cleaner : cleaners) {
        if (cleaner.name == name)
            return &cleaner;
    }
    return nullptr;
}

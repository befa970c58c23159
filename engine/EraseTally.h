#pragma once
#include <cstdint>

// What one item's last execution erased. 32-bit on purpose: totals wrap as the stored statistics do.
struct EraseTally {
    uint32_t filesErased = 0;
    uint32_t bytesReleased = 0;
    uint32_t registryEntriesErased = 0;
};

#pragma once
#include <cstdint>

// What one item's last execution erased. 64-bit: a few years of browser caches pass 4 GB.
struct EraseTally {
    uint64_t filesErased = 0;
    uint64_t bytesReleased = 0;
    uint64_t registryEntriesErased = 0;
    uint64_t cookiesErased = 0; // rows of cookie databases that stay
};

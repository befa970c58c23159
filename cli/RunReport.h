#pragma once
#include "run/ItemReport.h"

#include <cstdint>
#include <string>
#include <vector>

// An item that appeared since the ticks were last stored: a run of the selection leaves it out.
struct NewItem {
    std::string id;
    std::string descript;
};

// A preview or an erase of some items.
struct RunReport {
    EraseMode mode = EraseMode::Preview;
    bool overwrite = false; // files are overwritten before they go
    std::vector<ItemReport> items;
    std::vector<NewItem> newItems;

    EraseTally Total() const;
    bool HasFailures() const;
    bool HasRefusals() const;
    // An item that did nothing, its program running for example.
    bool HasSkips() const;
};

#pragma once
#include "engine/items/EraseItem.h"

#include <string>

// Which loaded erase items the user has selected, by item id. The program asks its configuration file;
// tests give their own answers.
class ItemSelection {
public:
    virtual ~ItemSelection() = default;
    virtual bool IsSelected(const std::string& id) const = 0;
    // Asked where the item's plug-in is at hand, so that what it says may count too.
    virtual bool IsItemSelected(const EraseItem& item) const { return IsSelected(item.id); }
};

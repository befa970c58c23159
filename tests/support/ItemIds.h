#pragma once
#include "engine/items/EraseItem.h"

#include <string>
#include <vector>

// The ids of a list of items, in its order, for readable comparisons.
inline std::vector<std::string> Ids(const std::vector<EraseItem*>& items)
{
    std::vector<std::string> ids;
    for (const EraseItem* item : items)
        ids.push_back(item->id);
    return ids;
}

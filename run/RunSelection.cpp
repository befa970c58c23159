#include "run/RunSelection.h"

ConfirmedSelection::ConfirmedSelection(std::string configPath)
    : configPath_(std::move(configPath)), config_(configPath_)
{
}

bool ConfirmedSelection::IsSelected(const std::string& id) const
{
    return config_.StoredValue(id).value_or(false);
}

std::vector<const EraseItem*> ConfirmedSelection::NewItems(const EraseItemList& list) const
{
    std::vector<const EraseItem*> items;
    for (const EraseItem& item : list.Items()) {
        if (item.Listed() && !config_.StoredValue(item.id))
            items.push_back(&item);
    }
    return items;
}

std::vector<std::string> ConfirmedSelection::Notes(const EraseItemList& list) const
{
    if (!IsLoaded())
        return {"nothing erased: the selection in " + configPath_ + " cannot be read; open Vestrel and tick the items"};
    std::vector<std::string> notes;
    for (const EraseItem* item : NewItems(list))
        notes.push_back("not erased, new: " + item->descript + " (" + item->id +
                        "); erased unattended once its tick is stored in Vestrel");
    return notes;
}

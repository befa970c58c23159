#include "run/RunSelection.h"

ConfirmedSelection::ConfirmedSelection(std::string configPath, std::map<std::string, bool> forced)
    : configPath_(std::move(configPath)), config_(configPath_, std::move(forced))
{
}

bool ConfirmedSelection::IsSelected(const std::string& id) const
{
    if (std::optional<bool> forced = config_.ForcedValue(id))
        return *forced;
    return config_.StoredValue(id).value_or(false);
}

std::vector<const EraseItem*> ConfirmedSelection::NewItems(const EraseItemList& list) const
{
    std::vector<const EraseItem*> items;
    for (const EraseItem& item : list.Items()) {
        if (item.Listed() && !config_.StoredValue(item.id) && !config_.ForcedValue(item.id))
            items.push_back(&item);
    }
    return items;
}

std::vector<std::string> ConfirmedSelection::Notes(const EraseItemList& list) const
{
    if (!IsLoaded())
        return {"nothing erased: the selection in " + configPath_ +
                " cannot be read; open Vestrel and tick the items"};
    std::vector<std::string> notes;
    for (const EraseItem* item : NewItems(list))
        notes.push_back("not erased, new: " + item->descript + " (" + item->id +
                        "); erased unattended once its tick is stored in Vestrel");
    return notes;
}

#pragma once
#include "engine/items/EraseItemList.h"
#include "engine/items/ItemSelection.h"
#include "settings/ConfigSelection.h"

#include <string>
#include <vector>

// The items a run from the erase window may erase: those the configuration file selects, as the window's
// lists show them. When the file cannot be read nothing is selected, so a run without a readable
// configuration erases nothing.
class RunSelection : public ItemSelection {
public:
    explicit RunSelection(const std::string& configPath,
                          std::map<std::string, bool> forced = ProcessPolicies().ForcedTicks())
        : config_(configPath, std::move(forced))
    {
    }

    bool IsSelected(const std::string& id) const override
    {
        return config_.IsLoaded() && config_.IsSelected(id);
    }
    bool IsItemSelected(const EraseItem& item) const override
    {
        return config_.IsLoaded() && config_.IsItemSelected(item);
    }

private:
    ConfigSelection config_;
};

// The items a run that nobody watches may erase (the schedule, the start-up run, vestrel-cli without ids):
// only those whose "true" is stored. An item without a line of its own appeared since the user last stored
// the ticks (a plug-in dropped in, one that failed to load before) and waits until its tick is stored,
// unless the organization ticks or unticks it.
class ConfirmedSelection : public ItemSelection {
public:
    explicit ConfirmedSelection(std::string configPath,
                                std::map<std::string, bool> forced = ProcessPolicies().ForcedTicks());

    bool IsLoaded() const { return config_.IsLoaded(); }
    bool IsSelected(const std::string& id) const override;
    // Whether the organization ticks or unticks the item.
    bool IsManaged(const std::string& id) const { return config_.ForcedValue(id).has_value(); }
    // The items a run would erase if they had been confirmed: listed, with no stored tick.
    std::vector<const EraseItem*> NewItems(const EraseItemList& list) const;
    // Why an unattended run erases nothing at all, or why some items wait; one line each, for the record
    // file and vestrel-cli. None when every shown item has a stored tick.
    std::vector<std::string> Notes(const EraseItemList& list) const;

private:
    std::string configPath_;
    ConfigSelection config_;
};

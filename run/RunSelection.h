#pragma once
#include "engine/ItemSelection.h"
#include "settings/ConfigSelection.h"

#include <string>

// The items a run may erase: those the configuration file selects. When the file cannot be read nothing
// is selected, so a run without a readable configuration erases nothing.
class RunSelection : public ItemSelection {
public:
    explicit RunSelection(const std::string& configPath) : config_(configPath) {}

    bool IsSelected(const std::string& id) const override
    {
        return config_.IsLoaded() && config_.IsSelected(id);
    }

private:
    ConfigSelection config_;
};

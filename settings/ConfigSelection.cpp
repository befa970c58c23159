#include "settings/ConfigSelection.h"

ConfigSelection::ConfigSelection(const std::string& configPath) : items_(configPath)
{
    items_.SelectChild(ConfigFile::kItemsElement, items_);
}

bool ConfigSelection::IsSelected(const std::string& id) const
{
    return !items_.IsLoaded() || items_.GetBool(id, true);
}

#include "settings/ConfigSelection.h"

ConfigSelection::ConfigSelection(const std::string& configPath) : items_(configPath)
{
    hasItems_ = items_.SelectChild(ConfigFile::kItemsElement, items_);
}

std::vector<XmlReader::Element> ConfigSelection::StoredElements() const
{
    return hasItems_ ? items_.ChildElements() : std::vector<XmlReader::Element>();
}

bool ConfigSelection::IsSelected(const std::string& id) const
{
    return !items_.IsLoaded() || items_.GetBool(id, true);
}

#include "settings/ConfigSelection.h"

#include "engine/LowerCase.h"

ConfigSelection::ConfigSelection(const std::string& configPath) : items_(configPath)
{
    hasItems_ = items_.SelectChild(ConfigFile::kItemsElement, items_);
    for (const XmlReader::Element& element : StoredElements())
        stored_.emplace(element.name, LowerCase(element.text) == "true"); // the first one counts
}

std::vector<XmlReader::Element> ConfigSelection::StoredElements() const
{
    return hasItems_ ? items_.ChildElements() : std::vector<XmlReader::Element>();
}

bool ConfigSelection::IsSelected(const std::string& id) const
{
    return !items_.IsLoaded() || items_.GetBool(id, true);
}

bool ConfigSelection::IsItemSelected(const EraseItem& item) const
{
    if (item.warning.empty())
        return IsSelected(item.id);
    return StoredValue(item.id).value_or(false);
}

std::optional<bool> ConfigSelection::StoredValue(const std::string& id) const
{
    auto found = stored_.find(id);
    if (found == stored_.end())
        return std::nullopt;
    return found->second;
}

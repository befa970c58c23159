#include "settings/ConfigSelection.h"

#include "framework/LowerCase.h"

ConfigSelection::ConfigSelection(const std::string& configPath, std::map<std::string, bool> forced)
    : items_(configPath), forced_(std::move(forced))
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
    if (std::optional<bool> forced = ForcedValue(id))
        return *forced;
    // From the lines read once: asking the document walks all of them, for each of thousands of items.
    return !items_.IsLoaded() || StoredValue(id).value_or(true);
}

std::optional<bool> ConfigSelection::ForcedValue(const std::string& id) const
{
    auto found = forced_.find(id);
    if (found == forced_.end())
        return std::nullopt;
    return found->second;
}

bool ConfigSelection::IsItemSelected(const EraseItem& item) const
{
    if (item.warning.empty())
        return IsSelected(item.id);
    if (std::optional<bool> forced = ForcedValue(item.id))
        return *forced;
    return StoredValue(item.id).value_or(false);
}

std::optional<bool> ConfigSelection::StoredValue(const std::string& id) const
{
    auto found = stored_.find(id);
    if (found == stored_.end())
        return std::nullopt;
    return found->second;
}

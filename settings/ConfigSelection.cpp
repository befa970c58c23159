#include "settings/ConfigSelection.h"

#include "framework/LowerCase.h"

ConfigSelection::ConfigSelection(const std::string& configPath, std::map<std::string, bool> forced)
    : items_(configPath), forced_(std::move(forced))
{
    if (items_.SelectChild(ConfigFile::kItemsElement, items_))
        elements_ = items_.ChildElements();
    for (const XmlReader::Element& element : elements_)
        stored_.emplace(element.name, LowerCase(element.text) == "true"); // the first one counts
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

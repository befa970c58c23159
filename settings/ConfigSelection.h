#pragma once
#include "engine/items/ItemSelection.h"
#include "settings/ConfigFile.h"
#include "settings/Policies.h"

#include <map>
#include <optional>
#include <string>

// The selection stored in the configuration file. An item without an element of its own counts as
// selected, and so does every item of a file without erase-items. An organization's forced tick wins over
// what is stored.
class ConfigSelection : public ItemSelection {
public:
    explicit ConfigSelection(const std::string& configPath,
                             std::map<std::string, bool> forced = ProcessPolicies().ForcedTicks());

    bool IsLoaded() const { return items_.IsLoaded(); }
    // Every item counts as selected when the file could not be read; callers that must not act on an
    // unreadable file ask IsLoaded first.
    bool IsSelected(const std::string& id) const override;
    // As IsSelected, except that an item whose plug-in warns (it removes what users may want, such as
    // unsaved text) is never ticked without its own stored "true": it may be new since the ticks were stored.
    bool IsItemSelected(const EraseItem& item) const override;
    // The elements of erase-items as stored, in file order; none without a readable erase-items.
    const std::vector<XmlReader::Element>& StoredElements() const { return elements_; }
    // The organization's tick for the item, if it sets one.
    std::optional<bool> ForcedValue(const std::string& id) const;
    // The item's own stored tick (the first element of its id), or none when it has no element.
    std::optional<bool> StoredValue(const std::string& id) const;

private:
    ConfigFile items_;
    std::vector<XmlReader::Element> elements_; // read once: each walk of the document costs a call per node
    std::map<std::string, bool> stored_;
    std::map<std::string, bool> forced_;
};

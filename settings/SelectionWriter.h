#pragma once
#include "engine/items/EraseItemList.h"
#include "settings/SelectionPages.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class ConfigSelection;

// Writes the item selection into the configuration file: from the check lists when a page is left, or
// the default selection. A file that cannot be written is reported as "config file can not open".
class SelectionWriter {
public:
    using ShowMessage = std::function<void(const std::string& text)>;

    // By default the report is a message box captioned with the application's name.
    explicit SelectionWriter(std::string configPath, ShowMessage showMessage = ShowMessageBox);

    // Writes nothing when the page shown is unchanged. The shown page's rows are matched to items by id
    // and store their ticks; other items keep their stored value, and an item never stored stays without a
    // line. Before the first page is shown (page 0) only the stored values are written again.
    // False when the file could not be written.
    // stored: the file as read already, when nothing has written it since; without, it is read afresh.
    bool SaveCurrentPage(const EraseItemList& list, SelectionPages& pages,
                         const ConfigSelection* stored = nullptr) const;
    // Selects exactly the loaded items named in the default set and those their plug-in marks as default.
    // False when the file could not be written.
    bool WriteDefaults(const EraseItemList& list) const;
    // Stores the ids as not selected, also those of items that are not loaded or not shown, and every
    // other loaded item as stored (none stays without a line). False when the file could not be written.
    bool WriteUnselected(const EraseItemList& list, const std::vector<std::string>& ids) const;

private:
    static void ShowMessageBox(const std::string& text);
    // Writes one line per loaded item for which valueOf gives a value, then "false" for each of the
    // unselected ids that no loaded item has. The stored elements of other ids that no loaded item has stay
    // as they were, each after the item it followed: a plug-in that failed to load once keeps its tick, as a
    // missing element would count as selected.
    bool Write(const EraseItemList& list, const ConfigSelection& stored,
               const std::function<std::optional<bool>(const EraseItem&)>& valueOf,
               const std::vector<std::string>& unselected = {}) const;

    std::string configPath_;
    ShowMessage showMessage_;
};

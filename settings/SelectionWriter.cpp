#include "settings/SelectionWriter.h"

#include "settings/AppPaths.h"
#include "framework/Utf8.h"
#include "settings/ConfigFile.h"
#include "settings/ConfigSelection.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <set>

namespace {

const std::array<const char*, 10> kDefaultItems = {
    "IE Auto Complete Form",  "IE Auto Complete Password",
    "IE Cache Files",         "IE Cookies",
    "IE History List",        "IE Type URLs",
    "Empty Recycle Bin",      "Start--Recent Documents",
    "Start--Recent Run List", "Windows Temp Files",
};

bool IsDefaultItem(const std::string& descript)
{
    return std::any_of(kDefaultItems.begin(), kDefaultItems.end(),
                       [&descript](const char* name) { return descript == name; });
}

std::optional<bool> RowState(const std::vector<SelectionPages::Row>& rows, const std::string& id)
{
    auto row = std::find_if(rows.begin(), rows.end(),
                            [&id](const SelectionPages::Row& candidate) { return candidate.id == id; });
    if (row == rows.end())
        return std::nullopt;
    return row->state != 0;
}

// A stored element that no loaded item writes, and the loaded item's id it followed (empty: none).
struct KeptElement {
    std::string after;
    XmlReader::Element element;
    bool written = false;
};

std::vector<KeptElement> KeptElements(const EraseItemList& list, const ConfigSelection& stored)
{
    std::set<std::string> loaded;
    for (const EraseItem& item : list.Items()) {
        if (item.loaded)
            loaded.insert(item.id);
    }
    std::vector<KeptElement> kept;
    std::string after;
    for (const XmlReader::Element& element : stored.StoredElements()) {
        if (loaded.count(element.name))
            after = element.name;
        else
            kept.push_back({after, element});
    }
    return kept;
}

// Adds the kept elements that followed the given id, or all still unwritten ones when it is null.
void AddKept(std::vector<std::string>& lines, std::vector<KeptElement>& kept, const std::string* after)
{
    for (KeptElement& element : kept) {
        if (!element.written && (!after || element.after == *after)) {
            lines.push_back(ConfigFile::ElementLine(element.element.name, element.element.text));
            element.written = true;
        }
    }
}

} // namespace

SelectionWriter::SelectionWriter(std::string configPath, ShowMessage showMessage)
    : configPath_(std::move(configPath)), showMessage_(std::move(showMessage))
{
}

bool SelectionWriter::SaveCurrentPage(const EraseItemList& list, SelectionPages& pages,
                                      const ConfigSelection* given) const
{
    int page = pages.CurrentPage();
    if (page != 0) {
        if (!pages.IsModified(page))
            return true;
        pages.ClearModified(page);
    }
    // Before the first page is shown nobody has seen a tick: only the stored ones are written again.
    std::vector<SelectionPages::Row> rows = page == 0 ? std::vector<SelectionPages::Row>() : pages.Rows(page);
    std::optional<ConfigSelection> read;
    const ConfigSelection& stored = given ? *given : read.emplace(configPath_);
    // An item never stored keeps having no line: its tick is stored once the user leaves its own page.
    return Write(list, stored, [&](const EraseItem& item) -> std::optional<bool> {
        if (std::optional<bool> shown = RowState(rows, item.id))
            return shown;
        return stored.StoredValue(item.id);
    });
}

bool SelectionWriter::WriteDefaults(const EraseItemList& list) const
{
    ConfigSelection stored(configPath_);
    return Write(list, stored, [](const EraseItem& item) -> std::optional<bool> {
        return item.isDefault || IsDefaultItem(item.descript);
    });
}

bool SelectionWriter::WriteUnselected(const EraseItemList& list, const std::vector<std::string>& ids) const
{
    ConfigSelection stored(configPath_);
    return Write(
        list, stored,
        [&](const EraseItem& item) -> std::optional<bool> {
            if (std::find(ids.begin(), ids.end(), item.id) != ids.end())
                return false;
            return stored.StoredValue(item.id);
        },
        ids);
}

bool SelectionWriter::Write(const EraseItemList& list, const ConfigSelection& stored,
                            const std::function<std::optional<bool>(const EraseItem&)>& valueOf,
                            const std::vector<std::string>& unselected) const
{
    std::vector<KeptElement> kept = KeptElements(list, stored);
    // An unselected id is written "false" at the end instead.
    for (KeptElement& element : kept) {
        const std::string& id = element.element.name;
        element.written = std::find(unselected.begin(), unselected.end(), id) != unselected.end();
    }
    std::vector<std::string> lines = ConfigFile::OpeningLines();
    const std::string first;
    AddKept(lines, kept, &first);
    for (const EraseItem& item : list.Items()) {
        if (!item.loaded)
            continue;
        if (std::optional<bool> value = valueOf(item))
            lines.push_back(ConfigFile::ElementLine(item.id, *value ? "true" : "false"));
        AddKept(lines, kept, &item.id);
    }
    AddKept(lines, kept, nullptr);
    for (const std::string& id : unselected) {
        auto loaded = [&id](const EraseItem& item) { return item.loaded && item.id == id; };
        if (std::none_of(list.Items().begin(), list.Items().end(), loaded))
            lines.push_back(ConfigFile::ElementLine(id, "false"));
    }
    for (std::string& line : ConfigFile::ClosingLines(0))
        lines.push_back(std::move(line));
    ConfigFile file(configPath_, false); // what it held is in stored already
    bool written = file.OpenForWrite();
    // The window writes the selection again at every start, most often just as it is stored: the new file,
    // opened to find what stands in the way of writing, is then dropped.
    if (written && !file.Holds(lines)) {
        for (const std::string& line : lines)
            file.WriteLine(line);
        written = file.Close();
    }
    if (!written)
        showMessage_("config file can not open");
    return written;
}

void SelectionWriter::ShowMessageBox(const std::string& text)
{
    MessageBoxW(nullptr, ToWide(text).c_str(), ToWide(GetAppName()).c_str(), MB_OK);
}

#include "cli/ReportFormat.h"

#include "cli/JsonWriter.h"
#include "framework/Format.h"
#include "framework/NumberText.h"

#include <algorithm>

namespace {

const char* ModeName(EraseMode mode)
{
    return mode == EraseMode::Preview ? "preview" : "erase";
}

std::string TallyText(const EraseTally& tally, bool toOverwrite)
{
    std::string text = CountText(tally.filesErased, "file", "files") + (toOverwrite ? " to overwrite" : "") +
                       ", " + SizeText(tally.bytesReleased) + ", " +
                       CountText(tally.registryEntriesErased, "registry entry", "registry entries");
    // Only a run with sites to keep removes cookies from inside a database.
    return tally.cookiesErased ? text + ", " + CountText(tally.cookiesErased, "cookie", "cookies") : text;
}

void TallyJson(JsonWriter& json, const EraseTally& tally)
{
    json.BeginObject();
    json.Key("files").Number(tally.filesErased);
    json.Key("bytes").Number(tally.bytesReleased);
    json.Key("registryEntries").Number(tally.registryEntriesErased);
    json.Key("cookies").Number(tally.cookiesErased);
    json.EndObject();
}

void StringsJson(JsonWriter& json, const char* key, const std::vector<std::string>& texts)
{
    json.Key(key).BeginArray();
    for (const std::string& text : texts)
        json.String(text);
    json.EndArray();
}

void FailuresJson(JsonWriter& json, const ItemReport& item, bool withId)
{
    for (const Failure& failure : item.failures) {
        json.BeginObject();
        if (withId)
            json.Key("id").String(item.id);
        json.Key("path").String(failure.path);
        json.Key("reason").String(failure.reason);
        json.EndObject();
    }
}

void ItemJson(JsonWriter& json, const ItemReport& item)
{
    json.BeginObject();
    json.Key("id").String(item.id);
    json.Key("description").String(item.descript);
    json.Key("page").String(item.type);
    if (!item.warning.empty())
        json.Key("warning").String(item.warning);
    if (!item.skipped.empty())
        StringsJson(json, "skipped", item.skipped);
    json.Key("files").BeginArray();
    for (const FileEntry& file : item.files) {
        json.BeginObject().Key("path").String(file.path).Key("size").Number(file.size);
        if (!file.note.empty())
            json.Key("note").String(file.note);
        json.EndObject();
    }
    json.EndArray();
    StringsJson(json, "folderLinks", item.folderLinks);
    json.Key("registry").BeginArray();
    for (const RegistryEntry& entry : item.registryEntries) {
        json.BeginObject().Key("path").String(entry.path);
        json.Key("kind").String(entry.isKey ? "key" : "value").EndObject();
    }
    json.EndArray();
    json.Key("recycleBins").BeginArray();
    for (const RecycleBinEntry& bin : item.recycleBins) {
        json.BeginObject().Key("root").String(bin.root).Key("items").Number(bin.items);
        json.Key("bytes").Number(bin.bytes).EndObject();
    }
    json.EndArray();
    json.Key("cookieDatabases").BeginArray();
    for (const CookieDatabase& database : item.cookieDatabases)
        json.BeginObject()
            .Key("path")
            .String(database.path)
            .Key("cookies")
            .Number(database.cookies)
            .EndObject();
    json.EndArray();
    json.Key("keptForSites").BeginArray();
    for (const KeptFolder& kept : item.keptForSites)
        json.BeginObject().Key("folder").String(kept.folder).Key("site").String(kept.site).EndObject();
    json.EndArray();
    if (!item.freeSpace.empty()) {
        json.Key("freeSpace").BeginArray();
        for (const FreeSpaceEntry& drive : item.freeSpace)
            json.BeginObject().Key("root").String(drive.root).Key("bytes").Number(drive.bytes).EndObject();
        json.EndArray();
    }
    StringsJson(json, "refused", item.refused);
    StringsJson(json, "uncounted", item.uncounted);
    json.Key("errors").BeginArray();
    FailuresJson(json, item, false);
    json.EndArray();
    json.Key("totals");
    TallyJson(json, item.tally);
    json.EndObject();
}

// One listed entry: what kind it is, its size where it has one, and where it is.
std::string EntryLine(const char* kind, const std::string& size, const std::string& what)
{
    return Format("  %-11s %12s  ", kind, size.c_str()) + what + "\n";
}

std::string ItemText(const ItemReport& item, EraseMode mode)
{
    std::string text = item.descript + " [" + item.id + "]\n";
    for (const ReportLine& line : ReportLines(item, mode))
        text += EntryLine(line.kind.c_str(), line.size, line.what);
    return text + "  = " + TallyText(item.tally, mode == EraseMode::Preview && item.overwrite) + "\n";
}

void NewItemsJson(JsonWriter& json, const std::vector<NewItem>& items)
{
    json.Key("newItems").BeginArray();
    for (const NewItem& item : items)
        json.BeginObject().Key("id").String(item.id).Key("description").String(item.descript).EndObject();
    json.EndArray();
}

const char kNewItemText[] = " (new: not erased unattended until ticked in Vestrel, or named)";

} // namespace

std::string ListText(const EraseItemList& list, const ConfirmedSelection& selection)
{
    std::string text;
    if (!selection.IsLoaded())
        text += "The selection cannot be read: nothing is erased unless named.\n";
    std::vector<const EraseItem*> newItems = selection.NewItems(list);
    for (const EraseItem& item : list.Items()) {
        if (!item.loaded) {
            text += "[!] " + PluginFileName(item) + ": " + item.errorText + "\n";
            continue;
        }
        bool isNew = std::find(newItems.begin(), newItems.end(), &item) != newItems.end();
        const char* mark = !item.detected                  ? "[-] "
                           : isNew                         ? "[?] "
                           : selection.IsSelected(item.id) ? "[x] "
                                                           : "[ ] ";
        text += mark + Format("%-28s %-12s ", item.id.c_str(), item.type.c_str()) + item.descript +
                (!item.detected ? " (not found on this machine: not listed, never run)"
                 : isNew        ? kNewItemText
                                : "") +
                "\n";
    }
    if (list.Items().empty())
        text += "No plug-in files.\n";
    return text;
}

std::string ListJson(const EraseItemList& list, const ConfirmedSelection& selection, const Policies& policies)
{
    std::vector<const EraseItem*> newItems = selection.NewItems(list);
    JsonWriter json;
    json.BeginObject().Key("command").String("list").Key("items").BeginArray();
    for (const EraseItem& item : list.Items()) {
        json.BeginObject();
        json.Key("file").String(PluginFileName(item));
        json.Key("loaded").Bool(item.loaded);
        if (item.loaded) {
            json.Key("id").String(item.id);
            json.Key("page").String(item.type);
            json.Key("description").String(item.descript);
            json.Key("selected").Bool(selection.IsSelected(item.id));
            if (std::find(newItems.begin(), newItems.end(), &item) != newItems.end())
                json.Key("new").Bool(true); // no tick stored: not erased unless named
            if (!item.detected)
                json.Key("detected").Bool(false); // not listed and never run
            if (selection.IsManaged(item.id))
                json.Key("managed").Bool(true); // ticked or unticked by the organization
        } else {
            json.Key("error").String(item.errorText);
        }
        json.EndObject();
    }
    json.EndArray().Key("managed settings").BeginArray();
    for (const std::string& name : policies.ManagedNames())
        json.String(name);
    json.EndArray().EndObject();
    return json.Text() + "\n";
}

std::string RunText(const RunReport& report)
{
    std::string text = report.mode == EraseMode::Preview ? "Preview (nothing is removed):\n" : "Erased:\n";
    for (const ItemReport& item : report.items)
        text += ItemText(item, report.mode);
    for (const NewItem& item : report.newItems)
        text += "Left out: " + item.descript + " [" + item.id + "]" + kNewItemText + "\n";
    return text +
           "Total: " + TallyText(report.Total(), report.mode == EraseMode::Preview && report.overwrite) +
           "\n";
}

std::string RunJson(const RunReport& report)
{
    JsonWriter json;
    json.BeginObject().Key("command").String(ModeName(report.mode));
    json.Key("overwrite").Bool(report.overwrite);
    json.Key("items").BeginArray();
    for (const ItemReport& item : report.items)
        ItemJson(json, item);
    json.EndArray();
    NewItemsJson(json, report.newItems);
    json.Key("totals");
    TallyJson(json, report.Total());
    json.Key("errors").BeginArray();
    for (const ItemReport& item : report.items)
        FailuresJson(json, item, true);
    json.EndArray().EndObject();
    return json.Text() + "\n";
}

std::string ErrorJson(const char* command, const std::string& message, const std::vector<NewItem>& newItems)
{
    JsonWriter json;
    json.BeginObject().Key("command").String(command).Key("error").String(message);
    if (!newItems.empty())
        NewItemsJson(json, newItems);
    json.EndObject();
    return json.Text() + "\n";
}

std::string KeepSitesText(const std::vector<std::string>& own, const std::vector<std::string>& managed)
{
    std::string text;
    for (const std::string& site : own)
        text += site + "\n";
    for (const std::string& site : managed) {
        if (std::find(own.begin(), own.end(), site) == own.end())
            text += site + " (set by your organization)\n";
    }
    return text.empty() ? "No sites to keep: an erase takes the cookies and data of every site.\n" : text;
}

std::string KeepSitesJson(const std::vector<std::string>& own, const std::vector<std::string>& managed)
{
    JsonWriter json;
    json.BeginObject().Key("command").String("keep");
    StringsJson(json, "sites", own);
    StringsJson(json, "managed sites", managed);
    json.EndObject();
    return json.Text() + "\n";
}

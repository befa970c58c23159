#include "import/RulesImport.h"

#include "engine/EraseItemList.h"
#include "engine/LowerCase.h"
#include "framework/Format.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "settings/ConfigSelection.h"
#include "settings/SelectionWriter.h"

#include <windows.h>

#include <algorithm>
#include <set>

namespace {

// Inside the plug-in folder, where the loader never looks (it reads only
// files), and on its volume, so that moving in and out is a rename.
const char kStagingFolder[] = "winapp2-import.tmp\\";
const size_t kMaxSlugLength = 60;

struct NewPlugin {
    std::string id;
    std::string text;
};

// Lower-case letters and digits, each other run of characters one "-".
std::string Slug(const std::string& name)
{
    std::string slug;
    for (char c : LowerCase(name)) {
        bool kept = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (kept)
            slug += c;
        else if (!slug.empty() && slug.back() != '-')
            slug += '-';
    }
    slug = slug.substr(0, kMaxSlugLength);
    while (!slug.empty() && slug.back() == '-')
        slug.pop_back();
    return slug.empty() ? "entry" : slug;
}

std::string UniqueId(const std::string& name, std::set<std::string>& taken)
{
    std::string base = kImportedPrefix + Slug(name);
    std::string id = base;
    for (int n = 2; !taken.insert(id).second; ++n)
        id = base + "-" + std::to_string(n);
    return id;
}

std::string FileNameOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The ids of the imported plug-ins in the folder, from their file names.
std::set<std::string> ImportedIds(const std::string& folder)
{
    std::set<std::string> ids;
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileW(ToExtendedPath(folder + kImportedPrefix + "*.aep").c_str(), &found));
    if (!find)
        return ids;
    do {
        std::string name = ToUtf8(found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && LowerCase(name).ends_with(".aep"))
            ids.insert(LowerCase(name.substr(0, name.size() - 4)));
    } while (FindNextFileW(find.get(), &found));
    return ids;
}

bool WriteWholeFile(const std::string& path, const std::string& text)
{
    UniqueHandle file(CreateFileW(ToExtendedPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size() && FlushFileBuffers(file.get());
}

bool Move(const std::string& from, const std::string& to)
{
    return MoveFileExW(ToExtendedPath(from).c_str(), ToExtendedPath(to).c_str(), MOVEFILE_WRITE_THROUGH);
}

bool MakeFolder(const std::string& folder)
{
    return CreateDirectoryW(ToExtendedPath(folder).c_str(), nullptr) ||
           GetLastError() == ERROR_ALREADY_EXISTS;
}

void RemoveFile(const std::string& path)
{
    DeleteFileW(ToExtendedPath(path).c_str());
}

void RemoveFolder(const std::string& folder)
{
    RemoveDirectoryW(ToExtendedPath(folder).c_str());
}

// The plug-in files of one import on their way in: written aside, then swapped
// with the ones they replace; until Commit, Rollback puts everything back.
class PluginSwap {
public:
    explicit PluginSwap(std::string pluginFolder)
        : folder_(std::move(pluginFolder)), staging_(folder_ + kStagingFolder)
    {
    }
    ~PluginSwap() { Rollback(); }

    std::string Begin()
    {
        RemoveFolder(staging_ + "new");
        RemoveFolder(staging_ + "old");
        RemoveFolder(staging_);
        if (GetFileAttributesW(ToExtendedPath(staging_).c_str()) != INVALID_FILE_ATTRIBUTES)
            return "an earlier import did not finish: move the plug-ins in " + staging_ +
                   " back into the plug-in folder, or delete that folder, and import "
                   "again";
        if (!MakeFolder(folder_) || !MakeFolder(staging_) || !MakeFolder(staging_ + "new") ||
            !MakeFolder(staging_ + "old"))
            return "cannot write into the plug-in folder " + folder_;
        begun_ = true;
        return {};
    }

    bool Stage(const NewPlugin& plugin)
    {
        staged_.push_back(plugin.id);
        return WriteWholeFile(staging_ + "new\\" + plugin.id + ".aep", plugin.text);
    }

    // Moves the given old plug-ins aside and the staged ones in.
    bool Swap(const std::set<std::string>& outgoing)
    {
        for (const std::string& id : outgoing) {
            if (!Move(folder_ + id + ".aep", staging_ + "old\\" + id + ".aep"))
                return false;
            setAside_.push_back(id);
        }
        for (const std::string& id : staged_) {
            if (!Move(staging_ + "new\\" + id + ".aep", folder_ + id + ".aep"))
                return false;
            placed_.push_back(id);
        }
        return true;
    }

    void Commit()
    {
        for (const std::string& id : setAside_)
            RemoveFile(staging_ + "old\\" + id + ".aep");
        placed_.clear();
        setAside_.clear();
        staged_.clear();
        Clear();
    }

private:
    void Rollback()
    {
        for (const std::string& id : placed_)
            RemoveFile(folder_ + id + ".aep");
        for (const std::string& id : setAside_)
            Move(staging_ + "old\\" + id + ".aep", folder_ + id + ".aep");
        for (const std::string& id : staged_)
            RemoveFile(staging_ + "new\\" + id + ".aep");
        Clear();
    }

    void Clear()
    {
        if (!begun_)
            return;
        RemoveFolder(staging_ + "new");
        RemoveFolder(staging_ + "old");
        RemoveFolder(staging_);
        begun_ = false;
    }

    std::string folder_;
    std::string staging_;
    bool begun_ = false;
    std::vector<std::string> staged_, setAside_, placed_;
};

// Whether nothing is at the path, as opposed to something that cannot be read.
bool IsMissing(const std::string& path)
{
    if (GetFileAttributesW(ToExtendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The ids to store as not selected. Once the configuration exists, an item without a line of its own
// counts as selected, while a run reads a missing configuration as "nothing selected": so without one,
// every loaded item is written unselected too, and no run erases more than before.
std::vector<std::string> UnselectedIds(const EraseItemList& list, std::vector<std::string> ids,
                                       bool configMissing)
{
    for (const EraseItem& item : list.Items()) {
        bool listed = std::find(ids.begin(), ids.end(), item.id) != ids.end();
        if (configMissing && item.loaded && !listed)
            ids.push_back(item.id);
    }
    return ids;
}

// Translates every entry; the ones that cannot be plug-ins land in the result's
// skipped list.
std::vector<NewPlugin> Translated(const RulesFile& rules, const std::string& fileName,
                                  const ImportChecks& checks, RulesImportResult& result)
{
    std::vector<NewPlugin> plugins;
    std::set<std::string> names;
    std::set<std::string> ids;
    for (const RulesEntry& entry : rules.entries) {
        EntryTranslation translation = TranslateEntry(entry, checks);
        if (translation.skipReason.empty() && !names.insert(LowerCase(entry.name)).second)
            translation.skipReason = "an entry above has the same name";
        if (!translation.skipReason.empty()) {
            result.skipped.emplace_back(entry.name, translation.skipReason);
            continue;
        }
        translation.draft.head = "Imported from " + fileName + ", entry [" + entry.section + "].";
        std::string id = UniqueId(entry.name, ids);
        plugins.push_back({id, PluginFileText(translation.draft, id)});
    }
    return plugins;
}

} // namespace

RulesImportResult ImportRules(const RulesImportRequest& request, const ImportChecks& checks)
{
    RulesImportResult result;
    RulesFile rules = ReadRulesFile(request.rulesPath);
    if (!rules.error.empty()) {
        result.error = rules.error;
        return result;
    }
    // What an unreadable configuration selects is unknown; writing it anew would select every other item.
    bool configMissing = false;
    if (!ConfigSelection(request.configPath).IsLoaded()) {
        if (!IsMissing(request.configPath)) {
            result.error = "cannot read the selection in " + request.configPath +
                           ", and writing it anew would select every other item: start Vestrel, check "
                           "the ticks and import again";
            return result;
        }
        configMissing = true;
    }
    std::vector<NewPlugin> plugins = Translated(rules, FileNameOf(request.rulesPath), checks, result);
    std::set<std::string> before = ImportedIds(request.pluginFolder);
    std::set<std::string> outgoing = request.replace ? before : std::set<std::string>();
    std::vector<std::string> newIds;
    for (const NewPlugin& plugin : plugins) {
        bool existed = before.contains(plugin.id);
        (existed ? result.updated : result.imported).push_back(plugin.id);
        if (existed)
            outgoing.insert(plugin.id);
        else
            newIds.push_back(plugin.id);
    }
    for (const std::string& id : before) {
        if (request.replace &&
            std::find(result.updated.begin(), result.updated.end(), id) == result.updated.end())
            result.removed.push_back(id);
    }

    PluginSwap swap(request.pluginFolder);
    std::string failure = swap.Begin();
    if (failure.empty() &&
        !std::all_of(plugins.begin(), plugins.end(), [&swap](const NewPlugin& p) { return swap.Stage(p); }))
        failure = "cannot write the new plug-ins into " + request.pluginFolder;
    if (failure.empty() && !swap.Swap(outgoing))
        failure = "cannot replace the plug-ins in " + request.pluginFolder;
    if (failure.empty()) {
        EraseItemList list(request.pluginFolder, request.windowsVersion, ConfigSelection(request.configPath));
        SelectionWriter writer(request.configPath, [](const std::string&) {});
        if (!writer.WriteUnselected(list, UnselectedIds(list, newIds, configMissing)))
            failure = "cannot write the selection into " + request.configPath;
    }
    if (!failure.empty()) {
        RulesImportResult failed;
        failed.error = failure + "; nothing was changed";
        return failed; // the swap puts the old plug-ins back
    }
    swap.Commit();
    return result;
}

std::string ImportSummaryText(const RulesImportResult& result, size_t maxSkipped)
{
    if (!result.error.empty())
        return "Nothing was imported: " + result.error + ".\n";
    std::string text = Format("Imported: %zu new, %zu updated, %zu skipped", result.imported.size(),
                              result.updated.size(), result.skipped.size());
    if (!result.removed.empty())
        text += Format(", %zu earlier imported removed", result.removed.size());
    text += ".\n";
    if (!result.imported.empty())
        text += "New items are on the Applications page, not ticked: nothing is "
                "erased until you tick them.\n";
    for (size_t i = 0; i < result.skipped.size() && i < maxSkipped; ++i)
        text += "Skipped [" + result.skipped[i].first + "]: " + result.skipped[i].second + "\n";
    if (result.skipped.size() > maxSkipped)
        text += Format("... and %zu more skipped (vestrel-cli import-winapp2 lists "
                       "them all).\n",
                       result.skipped.size() - maxSkipped);
    return text;
}

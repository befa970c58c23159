#include "import/RulesImport.h"

#include "engine/items/EraseItemList.h"
#include "framework/Format.h"
#include "framework/LowerCase.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "import/ImportedIds.h"
#include "settings/ConfigSelection.h"
#include "settings/SelectionWriter.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

namespace {

// Inside the plug-in folder, where the loader never looks (it reads only
// files), and on its volume, so that moving in and out is a rename.
const char kStagingFolder[] = "winapp2-import.tmp\\";
// Written once the selection says "false" for every new id: from then on the
// import is finished, before it rolled back. It lists the ids to remove.
const char kCommitMarker[] = "commit";

struct NewPlugin {
    std::string id;
    std::string text;
};

std::string FileNameOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The names of the files (not folders) in a folder that match a pattern.
std::vector<std::string> FileNames(const std::string& folder, const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileW(ToExtendedPath(folder + pattern).c_str(), &found));
    if (!find)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(ToUtf8(found.cFileName));
    } while (FindNextFileW(find.get(), &found));
    return names;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesW(ToExtendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteWholeFile(const std::string& path, const std::string& text)
{
    UniqueHandle file(CreateFileW(ToExtendedPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size() && FlushFileBuffers(file.get());
}

std::string ReadWholeFile(const std::string& path)
{
    UniqueHandle file(CreateFileW(ToExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (file && ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
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

bool RemoveFile(const std::string& path)
{
    return DeleteFileW(ToExtendedPath(path).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool RemoveFolder(const std::string& folder)
{
    return RemoveDirectoryW(ToExtendedPath(folder).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
           GetLastError() == ERROR_PATH_NOT_FOUND;
}

// Where an interrupted import is stopped as a crash would stop it: thrown past
// every clean-up, so the folders stay exactly as they were at that instant.
struct ImportStopped {};

// The plug-in files of one import on their way in, through a staging folder
// the loader never reads. The selection stores "false" for the new ids before
// the commit marker is written, and only after it does a new file move into
// the plug-in folder; so no instant shows a new plug-in without its "false".
// Whatever is left by a crash is finished (marker there) or rolled back (not)
// by the next import or start.
class ImportStaging {
public:
    ImportStaging(std::string pluginFolder, std::function<bool()> stopHere)
        : folder_(std::move(pluginFolder)), staging_(folder_ + kStagingFolder), stopHere_(std::move(stopHere))
    {
    }

    // Finishes or rolls back what an import left behind; why not, if it could not.
    std::string Recover()
    {
        if (!Exists(staging_))
            return {};
        bool done = Exists(staging_ + kCommitMarker) ? Finish() : RollBack();
        if (!done)
            return "an earlier import left " + staging_ + ", and it could not be finished or rolled back";
        return {};
    }

    std::string Begin()
    {
        if (!MakeFolder(folder_) || !MakeFolder(staging_) || !Step(MakeFolder(staging_ + "new")) ||
            !Step(MakeFolder(staging_ + "old")))
            return "cannot write into the plug-in folder " + folder_;
        return {};
    }

    bool Stage(const NewPlugin& plugin) { return Step(WriteWholeFile(NewPath(plugin.id), plugin.text)); }

    // The point of no return: the ids to remove, then the marker in one rename.
    bool Commit(const std::vector<std::string>& removed)
    {
        std::string ids;
        for (const std::string& id : removed)
            ids += id + "\n";
        std::string marker = staging_ + kCommitMarker;
        return Step(WriteWholeFile(marker + ".tmp", ids)) && Step(Move(marker + ".tmp", marker));
    }

    // Moves the removed plug-ins and those the new ones replace aside, the new
    // ones in, then clears the staging folder. Each step may be repeated after
    // an interruption.
    bool Finish()
    {
        std::string ids = ReadWholeFile(staging_ + kCommitMarker);
        for (size_t start = 0, end; (end = ids.find('\n', start)) != std::string::npos; start = end + 1) {
            std::string id = ids.substr(start, end - start);
            if (!id.empty() && !SetAside(id + ".aep"))
                return false;
        }
        for (const std::string& name : FileNames(staging_ + "new\\", "*.aep")) {
            if (!SetAside(name) || !Step(Move(staging_ + "new\\" + name, folder_ + name)))
                return false;
        }
        for (const std::string& name : FileNames(staging_ + "old\\", "*"))
            if (!Step(RemoveFile(staging_ + "old\\" + name)))
                return false;
        return Step(RemoveFile(staging_ + kCommitMarker)) && Clear();
    }

    // Drops the staged files; nothing has reached the plug-in folder before the
    // marker.
    bool RollBack()
    {
        for (const char* part : {"new\\", "old\\"}) {
            for (const std::string& name : FileNames(staging_ + part, "*"))
                if (!Step(RemoveFile(staging_ + part + name)))
                    return false;
        }
        return Step(RemoveFile(staging_ + kCommitMarker + ".tmp")) && Clear();
    }

    // Every change on disk passes here, for the tests that stop after each.
    bool Step(bool succeeded) const
    {
        if (stopHere_ && stopHere_())
            throw ImportStopped{};
        return succeeded;
    }

private:
    std::string NewPath(const std::string& id) const { return staging_ + "new\\" + id + ".aep"; }

    // A plug-in of that name in the folder goes into old, unless it went there before.
    bool SetAside(const std::string& name)
    {
        if (!Exists(folder_ + name))
            return true;
        return Step(Move(folder_ + name, staging_ + "old\\" + name));
    }

    bool Clear()
    {
        return Step(RemoveFolder(staging_ + "new")) && Step(RemoveFolder(staging_ + "old")) &&
               Step(RemoveFolder(staging_));
    }

    std::string folder_;
    std::string staging_;
    std::function<bool()> stopHere_;
};

// Whether nothing is at the path, as opposed to something that cannot be read.
bool IsMissing(const std::string& path)
{
    if (GetFileAttributesW(ToExtendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Translates every entry; the ones that cannot be plug-ins land in the result's
// skipped list. Each takes the id its name owns in the plug-in folder.
std::vector<NewPlugin> Translated(const RulesFile& rules, const std::string& fileName,
                                  const std::map<std::string, std::string>& owners,
                                  const ImportChecks& checks, RulesImportResult& result)
{
    std::vector<std::pair<const RulesEntry*, EntryTranslation>> drafts;
    std::set<std::string> names;
    for (const RulesEntry& entry : rules.entries) {
        EntryTranslation translation = TranslateEntry(entry, checks);
        if (translation.skipReason.empty() && !names.insert(LowerCase(entry.name)).second)
            translation.skipReason = "an entry above has the same name";
        if (!translation.skipReason.empty()) {
            result.skipped.emplace_back(entry.name, translation.skipReason);
            continue;
        }
        translation.draft.head = ImportedHead(fileName, entry.section);
        for (const std::string& reason : translation.leftOut)
            translation.draft.head += " Not imported: " + reason + ".";
        drafts.emplace_back(&entry, std::move(translation));
    }
    std::vector<std::string> usable;
    for (const auto& [entry, translation] : drafts)
        usable.push_back(entry->name);
    std::map<std::string, std::string> ids = AssignImportedIds(usable, owners);
    std::vector<NewPlugin> plugins;
    for (const auto& [entry, translation] : drafts) {
        const std::string& id = ids.at(entry->name);
        if (id.empty()) {
            result.skipped.emplace_back(entry->name,
                                        "other entries imported earlier own every id it can take");
            continue;
        }
        plugins.push_back({id, PluginFileText(translation.draft, id)});
        for (const std::string& reason : translation.leftOut)
            result.leftOut.emplace_back(entry->name, reason);
    }
    return plugins;
}

// Sorts the translated plug-ins into new and updated ones, and the earlier
// imported ones that --replace removes.
void SortIds(const std::vector<NewPlugin>& plugins, const std::map<std::string, std::string>& owners,
             bool replace, RulesImportResult& result)
{
    std::set<std::string> before;
    for (const auto& [id, owner] : owners)
        before.insert(id);
    for (const NewPlugin& plugin : plugins)
        (before.contains(plugin.id) ? result.updated : result.imported).push_back(plugin.id);
    for (const std::string& id : before) {
        if (replace && std::find(result.updated.begin(), result.updated.end(), id) == result.updated.end())
            result.removed.push_back(id);
    }
}

// The ids stored as not selected: the new ones, and updated ones that have no
// tick stored (else the update would show them ticked). Once the configuration
// exists, an item without a line of its own counts as selected in the window,
// while a run reads a missing configuration as "nothing selected": so without
// one, every loaded item is written unselected too.
std::vector<std::string> UnselectedIds(const EraseItemList& list, const RulesImportResult& result,
                                       const ConfigSelection& stored, bool configMissing)
{
    std::vector<std::string> ids = result.imported;
    for (const std::string& id : result.updated) {
        if (!stored.StoredValue(id))
            ids.push_back(id);
    }
    for (const EraseItem& item : list.Items()) {
        bool listed = std::find(ids.begin(), ids.end(), item.id) != ids.end();
        if (configMissing && item.loaded && !listed)
            ids.push_back(item.id);
    }
    return ids;
}

// Stores the "false" lines while the new plug-ins are still out of sight.
bool StoreUnselected(const RulesImportRequest& request, const RulesImportResult& result, bool configMissing)
{
    ConfigSelection stored(request.configPath);
    EraseItemList list(request.pluginFolder, request.windowsVersion, stored);
    SelectionWriter writer(request.configPath, [](const std::string&) {});
    return writer.WriteUnselected(list, UnselectedIds(list, result, stored, configMissing));
}

RulesImportResult Import(const RulesImportRequest& request, const ImportChecks& checks)
{
    RulesImportResult result;
    ImportStaging staging(request.pluginFolder, request.stopHere);
    if (std::string left = staging.Recover(); !left.empty()) {
        result.error = left;
        return result;
    }
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
    std::map<std::string, std::string> owners = ImportedOwners(request.pluginFolder);
    std::vector<NewPlugin> plugins = Translated(rules, FileNameOf(request.rulesPath), owners, checks, result);
    SortIds(plugins, owners, request.replace, result);

    std::string failure = staging.Begin();
    if (failure.empty() && !std::all_of(plugins.begin(), plugins.end(),
                                        [&staging](const NewPlugin& p) { return staging.Stage(p); }))
        failure = "cannot write the new plug-ins into " + request.pluginFolder;
    if (failure.empty() && !staging.Step(StoreUnselected(request, result, configMissing)))
        failure = "cannot write the selection into " + request.configPath;
    if (failure.empty() && !staging.Commit(result.removed))
        failure = "cannot write into the plug-in folder " + request.pluginFolder;
    if (!failure.empty()) {
        staging.RollBack();
        RulesImportResult failed;
        failed.error = failure + "; nothing was changed";
        return failed;
    }
    if (!staging.Finish()) {
        RulesImportResult failed;
        failed.error = "cannot move the plug-ins into " + request.pluginFolder +
                       "; the import is finished at the next start";
        return failed;
    }
    return result;
}

} // namespace

RulesImportResult ImportRules(const RulesImportRequest& request, const ImportChecks& checks)
{
    try {
        return Import(request, checks);
    } catch (const ImportStopped&) {
        RulesImportResult stopped;
        stopped.error = "stopped";
        return stopped;
    }
}

std::string FinishInterruptedImport(const std::string& pluginFolder)
{
    return ImportStaging(pluginFolder, nullptr).Recover();
}

std::string ImportSummaryText(const RulesImportResult& result, size_t maxSkipped)
{
    if (!result.error.empty())
        return "Nothing was imported: " + result.error + ".\n";
    std::string text = Format("Imported: %zu new, %zu updated, %zu skipped", result.imported.size(),
                              result.updated.size(), result.skipped.size());
    if (!result.leftOut.empty())
        text += Format(", %zu keys left out", result.leftOut.size());
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
    for (size_t i = 0; i < result.leftOut.size() && i < maxSkipped; ++i)
        text += "Imported [" + result.leftOut[i].first + "] without " + result.leftOut[i].second + "\n";
    if (result.leftOut.size() > maxSkipped)
        text += Format("... and %zu more keys left out (vestrel-cli import-winapp2 lists "
                       "them all).\n",
                       result.leftOut.size() - maxSkipped);
    return text;
}

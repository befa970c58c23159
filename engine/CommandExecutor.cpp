#include "engine/CommandExecutor.h"

#include "engine/cleaners/CookieCleaner.h"
#include "engine/cleaners/PlacesHistoryCleaner.h"
#include "engine/cleaners/SiteStoreFilter.h"
#include "engine/cleaners/TableCleaner.h"
#include "engine/files/FileSystemEraser.h"
#include "engine/files/KeepFilter.h"
#include "engine/files/Overwrite.h"
#include "engine/files/PathExpansion.h"
#include "engine/files/PathTokens.h"
#include "engine/files/ResolvedPath.h"
#include "engine/items/ItemConditions.h"
#include "engine/registry/RegistryEraser.h"
#include "engine/registry/RegistryKeep.h"
#include "framework/ErrorText.h"
#include "framework/Owners.h"
#include "framework/RecordFile.h"
#include "framework/Utf8.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace {

// The process of a started program; empty when it could not be started.
UniqueHandle StartProgram(const std::string& commandLine, const std::string& workingFolder)
{
    std::wstring line = ToWide(commandLine); // CreateProcessW may write into it
    std::wstring folder = ToWide(workingFolder);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES; // and no handles: the program gets none
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION started{};
    // Nor does it inherit any, nor share the caller's console: one left running would otherwise hold the
    // caller's output pipe open (through the console's own process under Wine), and a script reading
    // vestrel-cli's output would wait for that program instead of vestrel-cli.
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started))
        return UniqueHandle();
    CloseHandle(started.hThread);
    return UniqueHandle(started.hProcess);
}

// The item's keep patterns that name files and folders; the others name registry entries.
std::vector<std::string> FileKeeps(const std::vector<std::string>& keep)
{
    std::vector<std::string> files;
    std::copy_if(keep.begin(), keep.end(), std::back_inserter(files),
                 [](const std::string& path) { return !RegistryKeep::IsRegistryPath(path); });
    return files;
}

uint64_t FileTimeValue(const FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// A record file last written before the program started is one of an earlier run. FAT keeps write
// times to two seconds only, hence the margin.
bool WrittenSince(const std::string& path, uint64_t start)
{
    constexpr uint64_t kMarginTicks = 2 * 10'000'000ull;
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(ToExtendedPath(path).c_str(), GetFileExInfoStandard, &data) &&
           FileTimeValue(data.ftLastWriteTime) + kMarginTicks >= start;
}

// The name of the file or folder as the system holds it, every link followed; empty if it cannot be had.
std::wstring FinalName(HANDLE handle)
{
    std::wstring name(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD length = GetFinalPathNameByHandleW(handle, name.data(), static_cast<DWORD>(name.size()),
                                                 FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return {};
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.resize(length);
    }
    return {};
}

UniqueHandle OpenFollowingLinks(const std::wstring& path, DWORD share)
{
    return UniqueHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, share, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

bool StartsWithFolder(const std::wstring& path, const std::wstring& folder)
{
    return path.size() > folder.size() &&
           CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                                static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

// Named relative to the folder, with "." and ".." resolved, and where it exists, with every link followed.
// A program that is there stays held meanwhile so that it cannot be swapped for a link before it starts.
struct CommandExecutor::ProgramCheck {
    bool inside = false;
    UniqueHandle held;
};

CommandExecutor::ProgramCheck CommandExecutor::CheckProgram(const std::string& parameter) const
{
    ProgramCheck check;
    if (parameter.find(':') != std::string::npos || parameter.starts_with('\\') || parameter.starts_with('/'))
        return check;
    std::wstring folder = ToExtendedPath(context_.pluginFolder);
    std::wstring program = ToExtendedPath(context_.pluginFolder + parameter); // made whole, ".." resolved
    if (!folder.ends_with(L'\\'))
        folder += L'\\';
    if (!StartsWithFolder(program, folder))
        return check;
    check.held = OpenFollowingLinks(program, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!check.held) {
        check.inside = true; // nothing there: it cannot start, and is reported so
        return check;
    }
    UniqueHandle folderHandle =
        OpenFollowingLinks(folder, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    std::wstring finalFolder = folderHandle ? FinalName(folderHandle.get()) : std::wstring();
    if (!finalFolder.empty() && !finalFolder.ends_with(L'\\'))
        finalFolder += L'\\';
    check.inside = !finalFolder.empty() && StartsWithFolder(FinalName(check.held.get()), finalFolder);
    return check;
}

ProgramOutcome RunProgramWithin(const std::string& commandLine, const std::string& workingFolder,
                                unsigned long timeoutMs)
{
    UniqueHandle process = StartProgram(commandLine, workingFolder);
    if (!process)
        return {ProgramOutcome::NotStarted, GetLastError()};
    if (WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0)
        return {ProgramOutcome::DidNotFinish};
    return {};
}

bool RunProgram(const std::string& commandLine, WaitMode wait, const std::string& workingFolder)
{
    UniqueHandle process = StartProgram(commandLine, workingFolder);
    if (!process)
        return false;
    switch (wait) {
    case WaitMode::InputIdle:
        return WaitForInputIdle(process.get(), INFINITE) == 0;
    case WaitMode::Exit:
        return WaitForSingleObject(process.get(), INFINITE) == WAIT_OBJECT_0;
    case WaitMode::None:
        return true;
    }
    return false;
}

std::string ExpandParameter(const std::string& parameter)
{
    return ExpandPathTokens(parameter).value_or(parameter);
}

CommandExecutor::CommandExecutor(EraseContext context, std::span<const BuiltInCleaner> cleaners,
                                 EraseOptions options)
    : context_(std::move(context)), cleaners_(cleaners), options_(options)
{
    options_.stop = context_.stop;
    options_.windowsVersion = context_.windowsVersion;
    options_.secureDeletion = options_.secureDeletion || context_.secureDeletion;
}

std::string CommandExecutor::WhyRunning(const std::string& program) const
{
    auto reason = context_.stillRunning.find(program);
    return reason != context_.stillRunning.end() ? reason->second : program + " is running";
}

void CommandExecutor::Execute(EraseItem& item) const
{
    item.tally = {};
    item.skipped.clear();
    std::string running = RunningProgramName(item);
    KeepFilter filter(FileKeeps(item.keep), item.olderThanHours, FileTimeNow());
    RegistryKeep registryKeep(item.keep);
    if (!running.empty())
        item.skipped = "skipped: " + WhyRunning(running);
    else if (!filter.Valid())
        item.skipped = "skipped: a keep path names a folder this system does not have";
    bool sitesUnknown = item.skipped.empty() && !context_.keptSitesProblem.empty() && ReachesSiteData(item);
    if (sitesUnknown)
        item.skipped = "skipped: " + context_.keptSitesProblem;
    if (!item.skipped.empty()) {
        options_.Listener().OnSkipped(item.skipped);
        // Left undone for a fault the user can mend, not by choice: reported with what was left.
        if (sitesUnknown)
            options_.Listener().OnFailure("Sites to keep", context_.keptSitesProblem);
        return;
    }
    std::optional<RegistryEraser> registry; // one for all registry parameters of the item
    for (size_t index = 0; index < item.parameters.size() && !options_.StopRequested(); ++index) {
        const std::string& command = item.CommandOf(index);
        if (command == "delete-file" || command == "delete-directory") {
            DeleteFiles(item, index, filter);
        } else if (command == "delete-register-key" || command == "delete-register-value") {
            if (!registry)
                registry.emplace(options_, &registryKeep);
            const std::string& path = item.parameters[index];
            item.tally.registryEntriesErased += command == "delete-register-value"
                                                    ? registry->DeleteValueByPath(path)
                                                    : registry->DeleteKeyByPath(path);
        } else if (command == "run") {
            RunProgramOf(item, item.parameters[index]);
        } else if (command == "delete-places-history") {
            for (const std::string& database : DatabasesOf(item, index))
                ClearPlacesHistory(database, options_);
        } else if (command == "empty-table") {
            for (const std::string& database : DatabasesOf(item, index))
                EmptyDatabaseTable(database, item.OptionsOf(index).table, options_);
        } else if (command == "delete-cookies") {
            ClearCookieDatabases(item, index, filter);
        } else if (command == "advance") {
            if (const BuiltInCleaner* cleaner = FindCleaner(cleaners_, item.parameters[index]))
                cleaner->run(item.tally, options_);
        }
    }
}

namespace {

// Hears whether a walk kept anything for a site.
class SiteDataProbe final : public SilentListener {
public:
    void OnKeptForSite(const std::string&, const std::string&) override { reached = true; }
    bool reached = false;
};

} // namespace

// An item with cookies to clear, or whose walks keep something when every site is kept: found out by a
// preview of a copy, which changes nothing and starts no program.
bool CommandExecutor::ReachesSiteData(const EraseItem& item) const
{
    for (size_t index = 0; index < item.parameters.size(); ++index) {
        if (item.CommandOf(index) == "delete-cookies")
            return true;
    }
    EraseContext everySite = context_;
    everySite.keptSites = KeptSites::EverySite();
    everySite.keptSitesProblem.clear();
    SiteDataProbe probe;
    EraseItem copy = item;
    CommandExecutor(everySite, {}, EraseOptions{EraseMode::Preview, &probe}).Execute(copy);
    return probe.reached;
}

// Expanded parameters stay in the item. A folder that must never be emptied (a drive root, the Windows
// folder, a profile ...) is skipped; a parameter that resolves there is most likely a mistake. Each
// folder that a wildcard matches is checked on its own, and resolved once for what the item keeps.
void CommandExecutor::DeleteFiles(EraseItem& item, size_t index, const KeepFilter& filter) const
{
    std::optional<std::string> expanded = ExpandPathTokens(item.parameters[index]);
    if (!expanded)
        return; // a folder this system does not have: the path must not be taken literally
    item.parameters[index] = *expanded;
    DeleteByPattern(*expanded, item.CommandOf(index) == "delete-directory", item.OptionsOf(index), item.tally,
                    filter);
}

void CommandExecutor::DeleteByPattern(const std::string& parameter, bool wholeFolder,
                                      const ParameterOptions& how, EraseTally& tally,
                                      const KeepFilter& filter) const
{
    std::string folderPart = wholeFolder ? parameter : FolderOfPatternPath(parameter);
    std::string pattern = wholeFolder ? "*.*" : parameter.substr(folderPart.size());
    // One file named by its own name may go from a folder that must not be emptied, such as the
    // application data root, and so may files a pattern of more than wildcards names (acrobat*.log) directly
    // in an application data root; the walk then enters none of that folder's subfolders.
    bool namedFile = !wholeFolder && pattern.find_first_of("*?") == std::string::npos;
    bool narrowPattern = !wholeFolder && !namedFile && pattern.find_first_not_of("*?.") != std::string::npos;
    for (const std::string& expanded : ExpandFolderWildcards(folderPart, &options_.Listener())) {
        std::string folder = SpelledAsOnDisk(expanded); // so that what is told reads as the disk holds it
        bool guarded = context_.protectedFolders.Covers(folder);
        bool allowed = namedFile ? !context_.protectedFolders.RefusesNamedFile(folder)
                                 : narrowPattern && context_.protectedFolders.AllowsNarrowPattern(folder);
        if (guarded && !allowed) {
            options_.Listener().OnRefused(folder);
            continue;
        }
        std::optional<KeepFilter::InFolder> kept;
        std::optional<SiteStoreFilter> sites;
        EraseOptions options = options_;
        if (filter.Active())
            options.filter = &kept.emplace(filter, folder);
        if (!context_.keptSites.Empty())
            options.filter = &sites.emplace(context_.keptSites, options.filter, options_.Listener());
        if (how.recurse == Recurse::All && !guarded)
            DeleteInEveryFolder(folder, pattern, tally.filesErased, tally.bytesReleased, options);
        else
            DeleteInFolder(folder, pattern, how.recurse == Recurse::Matching && !guarded, tally.filesErased,
                           tally.bytesReleased, options);
        if (how.removeSelf && !guarded && !options.Preview() &&
            !(options.filter && options.filter->Keeps(NormalisedPath(folder), 0))) {
            std::wstring path = ToExtendedPath(folder); // removed only when it is empty now
            if (options.secureDeletion)
                RemoveFolderRenamed(path);
            else
                RemoveDirectoryW(path.c_str());
        }
    }
}

// Without sites to keep, the database goes with the files beside it that begin with its name (its journal
// or log), as a file item would take them; with sites to keep, the other sites' cookies go from inside it.
void CommandExecutor::ClearCookieDatabases(EraseItem& item, size_t index, const KeepFilter& filter) const
{
    std::optional<std::string> expanded = ExpandPathTokens(item.parameters[index]);
    if (!expanded)
        return;
    const std::string& path = item.parameters[index] = *expanded;
    if (context_.keptSites.Empty()) {
        ParameterOptions ownFiles;
        ownFiles.recurse = Recurse::None;
        DeleteByPattern(path + "*", false, ownFiles, item.tally, filter);
        return;
    }
    size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos)
        return;
    for (const std::string& folder : ExpandFolderWildcards(path.substr(0, slash + 1), &options_.Listener()))
        ClearCookiesExcept(folder + path.substr(slash + 1), context_.keptSites, item.tally.cookiesErased,
                           options_);
}

// Each matching profile's database, by the folder wildcards of the path; the file name is taken as written.
std::vector<std::string> CommandExecutor::DatabasesOf(EraseItem& item, size_t index) const
{
    std::optional<std::string> expanded = ExpandPathTokens(item.parameters[index]);
    if (!expanded)
        return {};
    const std::string& path = item.parameters[index] = *expanded;
    size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos)
        return {};
    std::vector<std::string> databases;
    for (const std::string& folder : ExpandFolderWildcards(path.substr(0, slash + 1), &options_.Listener()))
        databases.push_back(folder + path.substr(slash + 1));
    return databases;
}

void CommandExecutor::RunProgramOf(EraseItem& item, const std::string& parameter) const
{
    std::string program = context_.pluginFolder + parameter;
    // The path is quoted on the command line; a quote of its own would end it there.
    if (parameter.find('"') != std::string::npos) {
        options_.Listener().OnRefused(program);
        return;
    }
    // A plug-in may start only what came with it, not a program elsewhere on the machine.
    ProgramCheck check = CheckProgram(parameter);
    if (!check.inside) {
        options_.Listener().OnProgramFailure(program, "refused: it does not lie inside the plug-in folder");
        return;
    }
    options_.Listener().OnUncounted("program " + program + ": its counts are known only after it has run");
    if (!options_.Preview())
        RunOneProgram(item, program);
}

// Each program leaves its counts in a record file named after it: program.exe writes program.log. Only a
// program that ended in time counts, and only by a record it wrote in this run.
void CommandExecutor::RunOneProgram(EraseItem& item, const std::string& program) const
{
    uint64_t start = FileTimeNow();
    ProgramOutcome run =
        RunProgramWithin("\"" + program + "\"", context_.pluginFolder, item.timeoutSeconds * 1000ul);
    EraseListener& listener = options_.Listener();
    if (run.outcome == ProgramOutcome::NotStarted) {
        listener.OnProgramFailure(program,
                                  "could not be started: " + ErrorText(HRESULT_FROM_WIN32(run.error)));
        return;
    }
    if (run.outcome == ProgramOutcome::DidNotFinish) {
        listener.OnProgramFailure(program, "did not finish within " + std::to_string(item.timeoutSeconds) +
                                               " seconds; left running");
        return;
    }
    std::string recordPath = program.substr(0, program.size() >= 4 ? program.size() - 4 : 0) + ".log";
    if (!WrittenSince(recordPath, start))
        return;
    RecordFile record(recordPath);
    std::optional<uint64_t> files = record.GetCount("log", "erased-file-num");
    std::optional<uint64_t> bytes = record.GetCount("log", "erased-file-size");
    std::optional<uint64_t> registry = record.GetCount("log", "erased-register-num");
    if (!files || !bytes || !registry) {
        listener.OnProgramFailure(program,
                                  "left a record file " + recordPath +
                                      " that cannot be read: a count is not a number from 0 to 2^53");
        return;
    }
    EraseTally& tally = item.tally;
    tally.filesErased += *files;
    tally.bytesReleased += *bytes;
    tally.registryEntriesErased += *registry;
}

// A failure ends the item, never the run that asked, and is told, never passed off as done.
bool EraseItem::ExecuteItem(const EraseContext& context, const EraseOptions& options)
{
    try {
        CommandExecutor(context, BuiltInCleaners(), options).Execute(*this);
        return true;
    } catch (const std::exception& failure) {
        options.Listener().OnItemFailure(failure.what());
    } catch (...) {
        options.Listener().OnItemFailure("an unknown failure");
    }
    return false;
}

#include "cli/CliProgram.h"

#include "cli/ConsoleStream.h"
#include "cli/ReportFormat.h"
#include "cli/ReportingHooks.h"
#include "cli/WipeProgress.h"
#include "cli/JsonWriter.h"
#include "engine/EraseMode.h"
#include "engine/cleaners/FreeSpaceWipe.h"
#include "engine/files/FileSystemEraser.h"
#include "engine/items/EraseItemList.h"
#include "framework/ErrorText.h"
#include "framework/NumberText.h"
#include "import/RulesImport.h"
#include "run/EraseRun.h"
#include "run/ProgramClosing.h"
#include "run/RunSelection.h"
#include "settings/AppPaths.h"
#include "settings/KeepSites.h"
#include "settings/RecordLog.h"
#include "settings/Schedule.h"
#include "settings/ScheduledTask.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <exception>

const char kCliUsage[] =
    "Usage: vestrel-cli <command> [--json] [ID ...]\n"
    "\n"
    "Commands:\n"
    "  list              every plug-in file: its id, page and description, whether the\n"
    "                    configuration selects it, or why it failed to load\n"
    "  preview [ID ...]  what an erase of those items (default: the selected ones) would\n"
    "                    remove; removes nothing, records nothing\n"
    "  erase [ID ...]    erase those items (default: the selected ones) as Vestrel's erase\n"
    "                    run does, adding to its statistics and its record file; without\n"
    "                    ids, an item is selected only once its tick is stored (new ones\n"
    "                    are listed and left out)\n"
    "  erase --close-programs [ID ...]\n"
    "                    first ask the programs that keep items from running (a browser)\n"
    "                    to close, as closing their windows would, and wait for them up to\n"
    "                    15 seconds; an item whose program still runs is skipped\n"
    "  erase --secure [ID ...], preview --secure [ID ...]\n"
    "                    overwrite every file before deleting it, for this run (as the\n"
    "                    option \"Overwrite files before deleting them\" does for every run)\n"
    "  erase --scheduled what the task of \"Also when Vestrel is closed\" runs: the selected\n"
    "                    items, unless the schedule is off or this period's erase is done\n"
    "  schedule --remove-task\n"
    "                    remove the current user's scheduled task (the uninstaller does)\n"
    "  import-winapp2 FILE [--replace]\n"
    "                    turn each entry of a winapp2.ini rules file into a plug-in\n"
    "                    (winapp2-NAME, on the Applications page, not selected); --replace\n"
    "                    also removes earlier imported ones that the file no longer has\n"
    "  keep list         the sites whose cookies and site data an erase keeps\n"
    "  keep add HOST     keep a site (example.com also keeps www.example.com)\n"
    "  keep remove HOST  stop keeping a site\n"
    "  wipe-free-space DRIVE\n"
    "                    overwrite the free space of a local drive (D:) with zeros: fills\n"
    "                    it with files of zeros for a moment, then deletes them; takes\n"
    "                    long on a large drive. Ctrl+C stops it and removes what it wrote\n"
    "\n"
    "Options:\n"
    "  --json            print one JSON document (UTF-8) for scripts\n"
    "  --help            print this text\n"
    "\n"
    "Exit codes: 0 done; 1 something could not be deleted (listed in the output), an item\n"
    "was skipped (its program runs), an import skipped entries (listed with the reasons)\n"
    "or refused the file, or a wipe was stopped or failed;\n"
    "2 bad usage or an unknown id; 3 nothing is selected, or the configuration cannot be\n"
    "read; 4 your organization's policy does not allow the erase or the import.\n";

namespace {

// The program whose plug-ins, configuration, record file and statistics vestrel-cli shares.
const char kProgramName[] = "Vestrel";

// The items named on the command line.
class ChosenItems final : public ItemSelection {
public:
    explicit ChosenItems(const std::vector<std::string>& ids) : ids_(ids) {}

    bool IsSelected(const std::string& id) const override
    {
        return std::find(ids_.begin(), ids_.end(), id) != ids_.end();
    }

private:
    const std::vector<std::string>& ids_;
};

// Why one of the ids names no item that can run; empty when every id does. Two files may carry one id,
// so a file that failed to load is named only when no loaded item has the id.
std::string UnknownId(const EraseItemList& list, const std::vector<std::string>& ids)
{
    const std::vector<EraseItem>& items = list.Items();
    for (const std::string& id : ids) {
        auto named = [&id](const EraseItem& item) { return item.id == id; };
        auto loaded = [&named](const EraseItem& item) { return item.loaded && named(item); };
        if (std::any_of(items.begin(), items.end(), loaded))
            continue;
        if (const EraseItem* failed = list.FailedItemNamed(id))
            return "item " + id + ": its plug-in file could not be loaded (" + PluginFileName(*failed) +
                   ": " + failed->errorText + ")";
        return "unknown item id: " + id + " (vestrel-cli list shows the ids)";
    }
    return {};
}

std::string NothingSelectedText(const std::vector<NewItem>& newItems)
{
    std::string text = "nothing is selected: name item ids, or select items in Vestrel";
    if (newItems.empty())
        return text;
    text += "; new items, left out until ticked in Vestrel:";
    for (const NewItem& item : newItems)
        text += " " + item.id;
    return text;
}

// Set by Ctrl+C or Ctrl+Break while a wipe runs: the wipe then removes what it wrote before the program ends.
std::atomic<bool> wipeStop{false};

BOOL WINAPI StopWipe(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    wipeStop = true;
    return TRUE;
}

// Ctrl+C stops the wipe instead of ending the program, while it lives.
class ConsoleStopHandler {
public:
    ConsoleStopHandler() { SetConsoleCtrlHandler(StopWipe, TRUE); }
    ~ConsoleStopHandler() { SetConsoleCtrlHandler(StopWipe, FALSE); }
    ConsoleStopHandler(const ConsoleStopHandler&) = delete;
    ConsoleStopHandler& operator=(const ConsoleStopHandler&) = delete;
};

std::string WipeText(const FreeSpaceWipeResult& result, const WipeProgress& progress)
{
    std::string text;
    if (result.complete)
        text = "The free space of " + result.root + " was overwritten: " + SizeText(result.written) +
               " of zeros in " + CountText(result.largeFiles, "file", "files") + " and " +
               CountText(result.smallFiles, "small file", "small files") + ", all removed again.\n";
    else if (result.stopped)
        text = "Stopped: " + SizeText(result.written) + " of the free space of " + result.root +
               " were overwritten, the rest was not; what the wipe wrote was removed.\n";
    else
        text = "The free space of " + result.root + " was not wiped completely (" + SizeText(result.written) +
               " of zeros written):\n";
    for (const WipeProgress::Failure& failure : progress.Failures())
        text += "  " + failure.path + ": " + failure.reason + "\n";
    return text;
}

std::string WipeJson(const FreeSpaceWipeResult& result, const WipeProgress& progress)
{
    JsonWriter json;
    json.BeginObject();
    json.Key("command").String(CommandName(CliCommand::WipeFreeSpace));
    json.Key("drive").String(result.root);
    json.Key("freeSpace").Number(result.freeBefore);
    json.Key("written").Number(result.written);
    json.Key("largeFiles").Number(result.largeFiles);
    json.Key("smallFiles").Number(result.smallFiles);
    json.Key("stopped").Bool(result.stopped);
    json.Key("complete").Bool(result.complete);
    json.Key("failures").BeginArray();
    for (const WipeProgress::Failure& failure : progress.Failures()) {
        json.BeginObject();
        json.Key("path").String(failure.path);
        json.Key("reason").String(failure.reason);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + "\n";
}

} // namespace

CliProgram::CliProgram(EraseRunSetup setup, CliStreams streams, std::function<uint64_t()> clockMs)
    : setup_(std::move(setup)), streams_(std::move(streams)), clockMs_(std::move(clockMs))
{
}

int CliProgram::Run(const std::vector<std::string>& arguments)
{
    CliRequest request = ParseCommandLine(arguments);
    if (!request.error.empty())
        return Stop(request, kExitBadUsage, request.error + " (vestrel-cli --help shows the usage)");
    if (std::string refusal = Refusal(request); !refusal.empty())
        return Stop(request, kExitNotAllowed, refusal);
    if (request.command == CliCommand::RemoveTask)
        return RemoveTask(request);
    if (request.command == CliCommand::List || request.command == CliCommand::Preview ||
        request.command == CliCommand::Erase)
        FinishInterruptedImport(setup_.pluginFolder); // before any plug-in is read
    if (request.command != CliCommand::Help)
        RemoveInterruptedWipes(GetDriveRoots());
    switch (request.command) {
    case CliCommand::Help:
        streams_.out(kCliUsage);
        return kExitDone;
    case CliCommand::List:
        return List(request);
    case CliCommand::ImportRules:
        return ImportRules(request);
    case CliCommand::Keep:
        return Keep(request);
    case CliCommand::WipeFreeSpace:
        return WipeFreeSpace(request);
    case CliCommand::RemoveTask:
    case CliCommand::Preview:
    case CliCommand::Erase:
        break;
    }
    return PreviewOrErase(request);
}

std::string CliProgram::Refusal(const CliRequest& request) const
{
    const Policies& policies = setup_.policies;
    if (request.command == CliCommand::Erase && !policies.MayEraseFromCommandLine())
        return "your organization does not allow erasing from the command line; erase in Vestrel's window";
    // Named or not, an item the organization unticked is erased by no run.
    for (const std::string& id : request.ids) {
        if (request.command == CliCommand::Erase && policies.ForcedTick(id) == false)
            return "your organization has unticked " + id + ", so no erase removes it";
    }
    if (request.command == CliCommand::ImportRules && !policies.MayImportRules())
        return "your organization does not allow importing rules or changing the plug-in folder";
    return {};
}

int CliProgram::Stop(const CliRequest& request, int code, const std::string& message,
                     const std::vector<NewItem>& newItems)
{
    streams_.err("vestrel-cli: " + message + "\n");
    if (request.json)
        streams_.out(ErrorJson(CommandName(request.command), message, newItems));
    return code;
}

int CliProgram::List(const CliRequest& request)
{
    ConfirmedSelection selection(setup_.configPath, setup_.policies.ForcedTicks());
    EraseItemList list(setup_.pluginFolder, setup_.windowsVersion, selection, setup_.pluginCache);
    streams_.out(request.json ? ListJson(list, selection, setup_.policies) : ListText(list, selection));
    return kExitDone;
}

// Both walk the same items through the same hooks; only the mode differs. Without ids nobody chooses the
// items at the time, so only those whose tick is stored run.
int CliProgram::PreviewOrErase(const CliRequest& request)
{
    if (std::string skip = request.scheduled ? ScheduledSkip() : std::string(); !skip.empty()) {
        streams_.err("vestrel-cli: " + skip + "\n");
        return kExitDone;
    }
    ConfirmedSelection confirmed(setup_.configPath, setup_.policies.ForcedTicks());
    ChosenItems chosen(request.ids);
    bool unattended = request.ids.empty();
    const ItemSelection& selection = unattended ? static_cast<const ItemSelection&>(confirmed) : chosen;
    EraseItemList list(setup_.pluginFolder, setup_.windowsVersion, selection, setup_.pluginCache);
    if (std::string unknown = UnknownId(list, request.ids); !unknown.empty())
        return Stop(request, kExitBadUsage, unknown);
    if (unattended && !confirmed.IsLoaded())
        return Stop(request, kExitNothingSelected,
                    "nothing is selected: the selection in " + setup_.configPath +
                        " cannot be read; select items in Vestrel, or name item ids");
    RunReport report;
    if (unattended) {
        for (const EraseItem* item : confirmed.NewItems(list))
            report.newItems.push_back({item->id, item->descript});
    }
    std::vector<EraseItem*> items = ItemsToErase(list, selection);
    if (items.empty())
        return Stop(request, kExitNothingSelected, NothingSelectedText(report.newItems), report.newItems);

    bool erase = request.command == CliCommand::Erase;
    report.mode = erase ? EraseMode::Erase : EraseMode::Preview;
    if (request.secure)
        setup_.settings.secureDeletion = 1; // this run only; an organization's policy still decides
    report.overwrite = setup_.Context().secureDeletion;
    RunProgress progress(
        static_cast<int>(items.size()), [this](const std::string& line) { streams_.err(line); }, clockMs_);
    ReportingHooks hooks(report, progress);
    if (erase) {
        RecordLog log(setup_.recordPath);
        RecordPolicyProblems(setup_.policies, setup_.recordPath);
        for (const std::string& note : unattended ? confirmed.Notes(list) : std::vector<std::string>())
            log.Write(note);
        if (request.closePrograms)
            ClosePrograms(items);
        // No chime and no pause: nobody watches a script's run.
        EraseAndStore(setup_, RunPacing{}, hooks, list, selection);
    } else {
        EraseContext context = setup_.Context();
        for (EraseItem* item : items)
            hooks.Execute(*item, context, EraseOptions{}.Listener()); // a preview starts no program
    }
    streams_.out(request.json ? RunJson(report) : RunText(report));
    return report.HasFailures() || report.HasRefusals() || report.HasSkips() ? kExitNotDeleted : kExitDone;
}

void CliProgram::ClosePrograms(const std::vector<EraseItem*>& items)
{
    for (const std::string& name : RunningProgramNames(items))
        streams_.err("asking " + name + " to close\n");
    setup_.stillRunning = CloseRunningPrograms(items);
}

// The task may outlive the user's choice: a schedule turned off meanwhile, or by a policy, stops it here.
std::string CliProgram::ScheduledSkip() const
{
    const Settings& settings = setup_.settings;
    if (!settings.enableSchedule || !settings.eraseAtEvery)
        return "nothing erased: the schedule is off";
    LoadStatistics(setup_.settingsKey);
    if (ErasedThisPeriod(settings, SecondsSinceLastRun(setup_.clock(), ProcessStatistics().lastErasedTime)))
        return "nothing erased: Vestrel erased in this period of the schedule already";
    return {};
}

int CliProgram::RemoveTask(const CliRequest& request)
{
    ComInit com;
    HRESULT result = RemoveEraseTask();
    if (FAILED(result))
        return Stop(request, kExitNotDeleted,
                    "the scheduled task could not be removed: " + ErrorText(result));
    streams_.out(result == S_OK ? "The scheduled task was removed.\n" : "There was no scheduled task.\n");
    return kExitDone;
}

int CliProgram::ImportRules(const CliRequest& request)
{
    RulesImportRequest import;
    import.rulesPath = request.ids.front();
    import.pluginFolder = setup_.pluginFolder;
    import.configPath = setup_.configPath;
    import.windowsVersion = setup_.windowsVersion;
    import.replace = request.replace;
    RulesImportResult result = ::ImportRules(import, ImportChecks::OfThisSystem());
    if (!result.error.empty())
        return Stop(request, kExitNotDeleted, "nothing was imported: " + result.error);
    streams_.out(ImportSummaryText(result));
    return result.Complete() ? kExitDone : kExitNotDeleted;
}

// Adds or removes one site, then prints the list as it is stored now, and the sites a policy keeps besides.
int CliProgram::Keep(const CliRequest& request)
{
    const std::string& action = request.ids.front();
    if (action != "list") {
        const std::string& host = request.ids.back();
        KeepSiteChange change = action == "add" ? AddKeepSite(host, setup_.settingsKey)
                                                : RemoveKeepSite(host, setup_.settingsKey);
        if (change == KeepSiteChange::InvalidName)
            return Stop(request, kExitBadUsage, "not a host name: " + host);
        if (change == KeepSiteChange::NotStored)
            return Stop(request, kExitNotDeleted, "the list of sites to keep could not be stored");
        if (change == KeepSiteChange::Unreadable)
            return Stop(request, kExitNotDeleted,
                        "the list was left as it is: " + ReadKeepSites(setup_.settingsKey).problem);
        if (change == KeepSiteChange::Unchanged)
            streams_.err(action == "add" ? "vestrel-cli: kept already: " + host + "\n"
                                         : "vestrel-cli: not in the list: " + host + "\n");
    }
    KeepSiteList own = ReadKeepSites(setup_.settingsKey);
    const KeepSiteList& managed = setup_.policies.KeepSites();
    if (std::string problem = !own.problem.empty() ? own.problem : managed.problem; !problem.empty())
        return Stop(request, kExitNotDeleted, problem);
    streams_.out(request.json ? KeepSitesJson(own.sites, managed.sites)
                              : KeepSitesText(own.sites, managed.sites));
    return kExitDone;
}

int CliProgram::WipeFreeSpace(const CliRequest& request)
{
    WipeProgress progress([this](const std::string& line) { streams_.err(line); }, clockMs_);
    ConsoleStopHandler stopHandler;
    wipeStop = false;
    EraseOptions options;
    options.listener = &progress;
    options.stop = &wipeStop;
    FreeSpaceWipeResult result = ::WipeFreeSpace(request.ids.front(), options);
    streams_.out(request.json ? WipeJson(result, progress) : WipeText(result, progress));
    return result.complete ? kExitDone : kExitNotDeleted;
}

int RunCliProgram(const std::vector<std::string>& arguments)
{
    ConsoleStream out(STD_OUTPUT_HANDLE);
    ConsoleStream err(STD_ERROR_HANDLE);
    try {
        LoadSettings(); // the schedule's, for the scheduled task's erase
        EraseRunSetup setup = EraseRunSetup::ForProgram();
        setup.configPath = GetAppFolder() + kProgramName + ".conf";
        setup.recordPath = GetAppFolder() + kProgramName + ".log";
        setup.pluginCache = PluginCacheOf(GetAppFolder() + kProgramName + ".exe");
        CliStreams streams{[&out](std::string_view text) { out.Write(text); },
                           [&err](std::string_view text) { err.Write(text); }};
        return CliProgram(std::move(setup), std::move(streams), GetTickCount64).Run(arguments);
    } catch (const std::exception& error) {
        err.Write(std::string("vestrel-cli: ") + error.what() + "\n");
        return kExitNotDeleted;
    }
}

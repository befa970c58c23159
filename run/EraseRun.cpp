#include "run/EraseRun.h"

#include "engine/EraseMode.h"
#include "engine/RefusedTarget.h"
#include "framework/NumberText.h"
#include "run/EraseBusy.h"
#include "run/RunSelection.h"

namespace {

constexpr unsigned kPauseMs = 1000;
constexpr unsigned kExpressPauseMs = 400;
constexpr unsigned kSilentChimePauseMs = 500;

// Writes to the record file why a target of the item was left: refused by the rules, a file refused for an
// edit in place, a program that could not be started or did not finish, a folder that could not be listed,
// a folder kept for a site to keep, or a file that could not be overwritten (and one whose overwrite may
// have missed copies); and how many cookies went from a database that stays.
// Everything it hears also goes on to the run's own listener.
class RunRecorder final : public EraseListener {
public:
    RunRecorder(RecordLog& log, const std::string& descript, EraseListener* next)
        : log_(log), descript_(descript), next_(next ? *next : silent_)
    {
    }

    void OnFile(const std::string& path, uint64_t size) override { next_.OnFile(path, size); }
    void OnFolderLink(const std::string& path) override { next_.OnFolderLink(path); }
    void OnRegistryEntry(const std::string& path, bool isKey) override { next_.OnRegistryEntry(path, isKey); }
    void OnCookies(const std::string& database, uint64_t count) override
    {
        log_.Write(descript_ + ": " + CountText(count, "cookie", "cookies", NumberStyle::Plain()) +
                   " of sites not kept from " + database);
        next_.OnCookies(database, count);
    }
    void OnKeptForSite(const std::string& folder, const std::string& site) override
    {
        log_.Write(descript_ + ": kept " + folder + " (data of " + site + ", a site to keep)");
        next_.OnKeptForSite(folder, site);
    }
    void OnRecycleBin(const std::string& root, uint64_t items, uint64_t bytes) override
    {
        next_.OnRecycleBin(root, items, bytes);
    }
    void OnFailure(const std::string& path, const std::string& reason) override
    {
        next_.OnFailure(path, reason);
    }
    void OnUncounted(const std::string& what) override { next_.OnUncounted(what); }
    void OnFilesHandled(uint64_t files, uint64_t bytes) override { next_.OnFilesHandled(files, bytes); }
    void OnSkipped(const std::string& reason) override { next_.OnSkipped(reason); }
    void OnItemFailure(const std::string& reason) override
    {
        failure_ = reason;
        next_.OnItemFailure(reason);
    }
    void OnRefused(const std::string& path) override
    {
        log_.Write("refused " + RefusedText(path));
        next_.OnRefused(path);
    }
    void OnProgramFailure(const std::string& program, const std::string& reason) override
    {
        log_.Write(descript_ + ": program " + program + " " + reason);
        next_.OnProgramFailure(program, reason);
    }
    void OnUnlistedFolder(const std::string& folder, const std::string& reason) override
    {
        log_.Write(descript_ + ": could not list " + folder + ": " + reason);
        next_.OnUnlistedFolder(folder, reason);
    }
    void OnRefusedEdit(const std::string& path, const std::string& reason) override
    {
        log_.Write("refused " + path + " (" + reason + ")");
        next_.OnRefusedEdit(path, reason);
    }

    void OnNotOverwritten(const std::string& path, const std::string& reason) override
    {
        log_.Write(descript_ + ": " + reason + ": " + path);
        next_.OnNotOverwritten(path, reason);
    }
    void OnOverwriteCaveat(const std::string& path, const std::string& note) override
    {
        log_.Write(descript_ + ": " + note + ": " + path);
        next_.OnOverwriteCaveat(path, note);
    }

    // Why the item ended early, or empty.
    const std::string& Failure() const { return failure_; }

private:
    RecordLog& log_;
    const std::string& descript_;
    std::string failure_;
    SilentListener silent_;
    EraseListener& next_;
};

// How an item's record line ends: done, skipped with the reason, failed with the reason, or stopped.
std::string RecordEnding(const std::string& skipped, const std::string& failure, bool stopped)
{
    if (!failure.empty())
        return " failed: " + failure;
    if (stopped)
        return " stopped";
    return skipped.empty() ? " done..." : " " + skipped;
}

} // namespace

RunPacing InteractivePacing(const Settings& settings)
{
    return RunPacing{settings.playSound != 0, settings.expressEraseMode ? kExpressPauseMs : kPauseMs};
}

RunPacing SilentPacing(const Settings& settings)
{
    bool chime = settings.playSound != 0;
    return RunPacing{chime, chime ? kSilentChimePauseMs : 0};
}

std::vector<EraseItem*> ItemsToErase(EraseItemList& list, const ItemSelection& selection)
{
    std::vector<EraseItem*> items;
    for (EraseItem& item : list.Items()) {
        if (item.Listed() && selection.IsItemSelected(item))
            items.push_back(&item);
    }
    return items;
}

void AddTally(EraseTally& total, const EraseTally& item)
{
    total.filesErased += item.filesErased;
    total.bytesReleased += item.bytesReleased;
    total.registryEntriesErased += item.registryEntriesErased;
    total.cookiesErased += item.cookiesErased;
}

EraseRun::EraseRun(const EraseContext& context, RunPacing pacing, EraseRunHooks& hooks, RecordLog& log)
    : context_(context), pacing_(pacing), hooks_(hooks), log_(log)
{
}

EraseTally EraseRun::Execute(EraseItemList& list, const ItemSelection& selection)
{
    EraseTally total;
    int done = 0;
    stopped_ = false;
    notReached_ = 0;
    for (EraseItem* item : ItemsToErase(list, selection)) {
        stopped_ = stopped_ || context_.StopRequested(); // asked between items, in the pause
        if (stopped_) {
            ++notReached_;
            log_.Write(item->descript + " not reached");
            continue;
        }
        ++done;
        if (onItemStarted)
            onItemStarted(*item);
        std::string failure = ExecuteItem(*item);
        stopped_ = context_.StopRequested();
        AddTally(total, item->tally);
        log_.Write(item->descript + RecordEnding(item->skipped, failure, stopped_));
        if (onItemDone)
            onItemDone(done);
        if (stopped_)
            continue; // whoever stopped the run waits for no chime or pause
        if (pacing_.chime)
            hooks_.Chime();
        if (pacing_.pauseMs)
            hooks_.Pause(pacing_.pauseMs);
    }
    return total;
}

// The executor reports a failure inside an item; this also catches what gets past it (a hook's own), so
// one item cannot end the run and leave the others undone. Why the item failed, or empty.
std::string EraseRun::ExecuteItem(EraseItem& item)
{
    RunRecorder recorder(log_, item.descript, listener);
    try {
        hooks_.Execute(item, context_, recorder);
        return recorder.Failure();
    } catch (const std::exception& failure) {
        item.tally = {};
        return failure.what();
    } catch (...) {
        item.tally = {};
        return "an unknown failure";
    }
}

EraseTally EraseAndStore(const EraseRunSetup& setup, RunPacing pacing, EraseRunHooks& hooks,
                         EraseItemList& list, const ItemSelection& selection)
{
    EraseTally tally;
    {
        EraseBusyScope busy;
        RecordLog log(setup.recordPath);
        EraseContext context = setup.Context();
        tally = EraseRun(context, pacing, hooks, log).Execute(list, selection);
        AddRunToStoredStatistics(tally, setup.clock(), setup.settingsKey);
    }
    return tally;
}

void RunSilentErase(const EraseRunSetup& setup, EraseRunHooks& hooks)
{
    try {
        ConfirmedSelection selection(setup.configPath, setup.policies.ForcedTicks());
        EraseItemList list(setup.pluginFolder, setup.windowsVersion, selection, setup.pluginCache);
        RecordLog log(setup.recordPath);
        for (const std::string& note : selection.Notes(list))
            log.Write(note);
        EraseAndStore(setup, SilentPacing(setup.settings), hooks, list, selection);
    } catch (...) {
        // Called from the start-up and the timer, which have no one to tell.
    }
}

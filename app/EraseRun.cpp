#include "app/EraseRun.h"

#include "app/EraseBusy.h"
#include "app/RunSelection.h"

namespace {

constexpr unsigned kPauseMs = 1000;
constexpr unsigned kExpressPauseMs = 400;
constexpr unsigned kSilentChimePauseMs = 500;

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
        if (item.Listed() && selection.IsSelected(item.id))
            items.push_back(&item);
    }
    return items;
}

void AddTally(EraseTally& total, const EraseTally& item)
{
    total.filesErased += item.filesErased;
    total.bytesReleased += item.bytesReleased;
    total.registryEntriesErased += item.registryEntriesErased;
}

EraseRun::EraseRun(RunPacing pacing, EraseRunHooks& hooks, RecordLog& log)
    : pacing_(pacing), hooks_(hooks), log_(log)
{
}

EraseTally EraseRun::Execute(EraseItemList& list, const ItemSelection& selection)
{
    EraseTally total;
    int done = 0;
    for (EraseItem* item : ItemsToErase(list, selection)) {
        ++done;
        ExecuteItem(*item);
        AddTally(total, item->tally);
        log_.Write(item->descript + (item->skipped.empty() ? " done..." : " " + item->skipped));
        if (onItemDone)
            onItemDone(done);
        if (pacing_.chime)
            hooks_.Chime();
        if (pacing_.pauseMs)
            hooks_.Pause(pacing_.pauseMs);
    }
    return total;
}

// The executor keeps its failures to itself; this catches what gets past it, so one item cannot end
// the run and leave the others undone.
void EraseRun::ExecuteItem(EraseItem& item)
{
    try {
        hooks_.Execute(item);
    } catch (...) {
        item.tally = {};
    }
}

EraseTally EraseAndStore(const EraseRunSetup& setup, RunPacing pacing, EraseRunHooks& hooks,
                         EraseItemList& list, const ItemSelection& selection)
{
    EraseTally tally;
    {
        EraseBusyScope busy;
        RecordLog log(setup.recordPath);
        tally = EraseRun(pacing, hooks, log).Execute(list, selection);
        LoadStatistics(setup.settingsKey);
        ProcessStatistics().AddRun(tally, setup.clock());
    }
    StoreStatistics(setup.settingsKey);
    return tally;
}

void RunSilentErase(const EraseRunSetup& setup, EraseRunHooks& hooks)
{
    try {
        RunSelection selection(setup.configPath);
        EraseItemList list(setup.pluginFolder, setup.windowsVersion, selection);
        EraseAndStore(setup, SilentPacing(setup.settings), hooks, list, selection);
    } catch (...) {
        // Called from the start-up and the timer, which have no one to tell.
    }
}

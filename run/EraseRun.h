#pragma once
#include "engine/EraseTally.h"
#include "engine/items/EraseItemList.h"
#include "engine/items/ItemSelection.h"
#include "run/EraseRunHooks.h"
#include "run/EraseRunSetup.h"
#include "settings/RecordLog.h"

#include <functional>
#include <vector>

// What follows each item: a chime, and a pause that lets the user follow the progress.
struct RunPacing {
    bool chime = false;
    unsigned pauseMs = 0;
};

// The progress dialog always pauses, shorter in express mode, and chimes when asked to.
RunPacing InteractivePacing(const Settings& settings);
// A silent run pauses only after its chime; express mode plays no part.
RunPacing SilentPacing(const Settings& settings);

// The items a run erases, in file order: loaded, with a variant for this Windows version, found on this
// machine, and selected.
std::vector<EraseItem*> ItemsToErase(EraseItemList& list, const ItemSelection& selection);

// The core shared by the interactive and the silent run: executes the items one after another, adds up
// their tallies and records each in the record log. A failing item erases nothing and the run goes on.
class EraseRun {
public:
    // The context must outlive the run.
    EraseRun(const EraseContext& context, RunPacing pacing, EraseRunHooks& hooks, RecordLog& log);

    // Called with the number of items done so far after each item's record line, before its chime and
    // pause; the progress dialog moves its bar and ticks the item's row.
    std::function<void(int doneCount)> onItemDone;
    // Called before each item is executed, with the item.
    std::function<void(const EraseItem& item)> onItemStarted;
    // Hears the entries of every item; none by default.
    EraseListener* listener = nullptr;

    // Stops, when the context asks it to, after the entry being erased: the item stopped in is recorded as
    // "stopped" with what it removed, each item after it as "not reached".
    EraseTally Execute(EraseItemList& list, const ItemSelection& selection);
    // Whether the last Execute was stopped, and how many of its items it did not begin.
    bool Stopped() const { return stopped_; }
    int NotReached() const { return notReached_; }

private:
    std::string ExecuteItem(EraseItem& item);

    const EraseContext& context_;
    RunPacing pacing_;
    EraseRunHooks& hooks_;
    RecordLog& log_;
    bool stopped_ = false;
    int notReached_ = 0;
};

// Adds one tally to another; 32-bit counters wrap as the stored statistics do.
void AddTally(EraseTally& total, const EraseTally& item);

// A whole run without windows: the selected items of list, with the busy flag set, recorded in the
// setup's record file; its totals are added to the statistics, which are then stored. The run's totals.
EraseTally EraseAndStore(const EraseRunSetup& setup, RunPacing pacing, EraseRunHooks& hooks,
                         EraseItemList& list, const ItemSelection& selection);

// Erases the items whose tick is stored as selected without showing anything, adds the result to the
// statistics and stores them. Items without a stored tick, and a configuration that cannot be read, are
// told to the record file. Never throws; the busy flag is set only while it runs.
void RunSilentErase(const EraseRunSetup& setup = EraseRunSetup::ForProgram(),
                    EraseRunHooks& hooks = SystemRunHooks());

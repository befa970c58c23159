#pragma once
#include "run/EraseCounter.h"
#include "run/EraseRunHooks.h"
#include "run/EraseRunSetup.h"
#include "run/ItemPreview.h"
#include "engine/EraseTally.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Counts and erases the progress dialog's items on a thread of its own, so that the dialog keeps
// painting and answering while a folder of 100,000 files goes or a started program runs. It tells the
// dialog by messages: previews, progress and the end are posted; an item done is sent, so the run waits
// until the dialog has ticked the item's row before it chimes and pauses.
class EraseWorker {
public:
    static constexpr UINT kPreviewed = WM_APP + 1; // wParam: the row
    static constexpr UINT kProgress = WM_APP + 2;  // at most once per kProgressMs
    static constexpr UINT kItemDone = WM_APP + 3;  // sent; wParam: the items done so far
    static constexpr UINT kFinished = WM_APP + 4;  // wParam: kPreviewEnded or kRunEnded
    static constexpr WPARAM kPreviewEnded = 0;
    static constexpr WPARAM kRunEnded = 1;
    static constexpr uint64_t kProgressMs = 100;

    // How far the run has got.
    struct Progress {
        std::string item; // the item being erased
        int started = 0;  // items begun, the current one included
        int done = 0;
        int total = 0;
        EraseTally tally;   // the items done, and what the current one has removed so far
        EraseTally current; // how far the current item has got, files told later included (the bar)
        Leftovers left;
    };

    // The whole run, once it has ended.
    struct Outcome {
        bool failed = false; // something got past the run's own guards
        bool stopped = false;
        int notReached = 0; // the items a stopped run did not begin
        EraseTally tally;
        Leftovers left;
        std::vector<LeftEntry> leftEntries;
    };

    EraseWorker(HWND dialog, EraseRunSetup setup, EraseRunHooks& hooks);
    // Stops a preview and waits for the thread.
    ~EraseWorker();
    EraseWorker(const EraseWorker&) = delete;
    EraseWorker& operator=(const EraseWorker&) = delete;

    // Previews the items a run would erase, one row each, in the run's order.
    void StartPreview(int rows);
    // Asks the programs that keep items from running to close, waits for them (kCloseWait at most), and
    // previews the items again, the ones whose program still runs with the reason.
    void StartClosingPrograms(int rows);
    // Stops a preview, or the wait for programs to close, before its next step and waits for it; nothing
    // once it has ended.
    void StopPreview();
    void StartRun();
    // Asks the run to end after the entry being erased; it then posts kFinished as at its end.
    void StopRun() { stop_ = true; }
    // Waits for the thread, which has posted kFinished or is about to.
    void Join();
    // A silent run (RunSilentErase) on the thread, while this thread goes on answering its messages: the
    // window paints and its timer and tray icon answer. Returns once the run has ended; posts nothing. The
    // busy flag is set from the start, so a timer answered meanwhile starts no other run.
    void RunSilent();

    // Read on the dialog's thread, after the message that announced them.
    std::optional<ItemPreview> Preview(int row) const;
    Progress CurrentProgress() const;
    Outcome RunOutcome() const;
    // The programs that kept items from running when the last preview ended.
    std::vector<std::string> RunningPrograms() const;

private:
    void PreviewItems();
    void ClosePrograms();
    void RunItems();
    // Dispatches this thread's messages until the event is set. A WM_QUIT met meanwhile is put back.
    void AnswerMessagesUntil(HANDLE event) const;
    void RecordFailure(const std::string& text) const;

    HWND dialog_;
    EraseRunSetup setup_;
    EraseRunHooks& hooks_;
    std::atomic<bool> stop_ = false;
    mutable std::mutex lock_;
    std::vector<std::optional<ItemPreview>> previews_;
    std::vector<std::string> runningPrograms_;
    Progress progress_;
    Outcome outcome_;
    std::thread thread_;
};

#include "run/EraseWorker.h"

#include "run/EraseBusy.h"
#include "run/EraseRun.h"
#include "run/ProgramClosing.h"
#include "run/RunSelection.h"
#include "framework/Owners.h"
#include "settings/RecordLog.h"

#include <exception>

namespace {

// What got past the run's own guards, in words for the record file.
std::string FailureText(const char* what)
{
    try {
        throw;
    } catch (const std::exception& failure) {
        return std::string(what) + " failed: " + failure.what();
    } catch (...) {
        return std::string(what) + " failed";
    }
}

} // namespace

EraseWorker::EraseWorker(HWND dialog, EraseRunSetup setup, EraseRunHooks& hooks)
    : dialog_(dialog), setup_(std::move(setup)), hooks_(hooks)
{
}

EraseWorker::~EraseWorker()
{
    StopPreview();
}

void EraseWorker::StartPreview(int rows)
{
    Join();
    previews_.assign(static_cast<size_t>(rows), std::nullopt);
    stop_ = false;
    thread_ = std::thread([this] { PreviewItems(); });
}

void EraseWorker::StartClosingPrograms(int rows)
{
    Join();
    previews_.assign(static_cast<size_t>(rows), std::nullopt);
    stop_ = false;
    thread_ = std::thread([this] {
        ClosePrograms();
        PreviewItems();
    });
}

void EraseWorker::StopPreview()
{
    stop_ = true;
    Join();
}

void EraseWorker::StartRun()
{
    Join();
    stop_ = false;
    progress_ = {};
    outcome_ = {};
    thread_ = std::thread([this] { RunItems(); });
}

void EraseWorker::Join()
{
    if (thread_.joinable())
        thread_.join();
}

void EraseWorker::RunSilent()
{
    Join();
    EraseBusyScope busy;
    UniqueHandle ended(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    try {
        thread_ = std::thread([this, event = ended.get()] {
            {
                ComInit com;
                RunSilentErase(setup_, hooks_);
            }
            if (event)
                SetEvent(event);
        });
    } catch (...) {
        RecordFailure(FailureText("silent run"));
        return;
    }
    if (ended)
        AnswerMessagesUntil(ended.get());
    Join();
}

void EraseWorker::AnswerMessagesUntil(HANDLE event) const
{
    bool quit = false;
    WPARAM exitCode = 0;
    while (!quit && MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (!quit && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                exitCode = message.wParam;
            } else if (!dialog_ || !IsDialogMessageW(dialog_, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    if (quit)
        PostQuitMessage(static_cast<int>(exitCode));
}

std::optional<ItemPreview> EraseWorker::Preview(int row) const
{
    std::lock_guard guard(lock_);
    if (row < 0 || static_cast<size_t>(row) >= previews_.size())
        return std::nullopt;
    return previews_[static_cast<size_t>(row)];
}

EraseWorker::Progress EraseWorker::CurrentProgress() const
{
    std::lock_guard guard(lock_);
    return progress_;
}

std::vector<std::string> EraseWorker::RunningPrograms() const
{
    std::lock_guard guard(lock_);
    return runningPrograms_;
}

EraseWorker::Outcome EraseWorker::RunOutcome() const
{
    std::lock_guard guard(lock_);
    return outcome_;
}

// The same walk as an erase, in preview mode: the counts are what the run will then remove.
void EraseWorker::PreviewItems()
{
    ComInit com;
    try {
        RunSelection selection(setup_.configPath, setup_.policies.ForcedTicks());
        EraseItemList list(setup_.pluginFolder, setup_.windowsVersion, selection, setup_.pluginCache);
        EraseContext context = setup_.Context();
        context.stop = &stop_;
        int row = 0;
        const std::vector<EraseItem*> items = ItemsToErase(list, selection);
        for (EraseItem* item : items) {
            if (static_cast<size_t>(row) >= previews_.size())
                break;
            ItemReport report = ReportFor(*item);
            report.overwrite = context.secureDeletion;
            ItemRecorder recorder(report);
            item->ExecuteItem(context, EraseOptions{EraseMode::Preview, &recorder});
            if (stop_)
                break; // the row stopped half-way keeps no count, as the rows after it
            report.tally = item->tally;
            ItemPreview preview = PreviewOf(std::move(report), item->skipped);
            {
                std::lock_guard guard(lock_);
                previews_[static_cast<size_t>(row)] = preview;
            }
            PostMessageW(dialog_, kPreviewed, static_cast<WPARAM>(row), 0);
            ++row;
        }
        std::vector<std::string> running = stop_ ? std::vector<std::string>() : RunningProgramNames(items);
        std::lock_guard guard(lock_);
        runningPrograms_ = std::move(running);
    } catch (...) {
        // The rows not counted stay without a count; the record file tells why.
        RecordFailure(FailureText("preview"));
    }
    PostMessageW(dialog_, kFinished, kPreviewEnded, 0);
}

// The reasons stay with the set-up, for the preview that follows and for the run.
void EraseWorker::ClosePrograms()
{
    ComInit com;
    try {
        RunSelection selection(setup_.configPath);
        EraseItemList list(setup_.pluginFolder, setup_.windowsVersion, selection);
        setup_.stillRunning = CloseRunningPrograms(ItemsToErase(list, selection), kCloseWait, &stop_);
    } catch (...) {
        RecordFailure(FailureText("closing programs"));
    }
}

void EraseWorker::RunItems()
{
    ComInit com;
    Outcome outcome;
    try {
        RunSelection selection(setup_.configPath, setup_.policies.ForcedTicks());
        EraseItemList items(setup_.pluginFolder, setup_.windowsVersion, selection, setup_.pluginCache);
        RecordLog log(setup_.recordPath);
        {
            std::lock_guard guard(lock_);
            progress_.total = static_cast<int>(ItemsToErase(items, selection).size());
        }
        EraseContext context = setup_.Context();
        context.stop = &stop_;
        EraseRun run(context, InteractivePacing(setup_.settings), hooks_, log);
        EraseCounter counter;
        const EraseItem* current = nullptr;
        EraseTally done;
        uint64_t lastPost = GetTickCount64();
        auto publish = [&] {
            std::lock_guard guard(lock_);
            progress_.tally = done;
            progress_.current = counter.Reached();
            AddTally(progress_.tally, counter.Counted());
            progress_.left = counter.Left();
        };
        counter.onEntry = [&] {
            uint64_t now = GetTickCount64();
            if (now - lastPost < kProgressMs)
                return;
            lastPost = now;
            publish();
            PostMessageW(dialog_, kProgress, 0, 0);
        };
        run.listener = &counter;
        run.onItemStarted = [&](const EraseItem& item) {
            current = &item;
            counter.ResetCounted();
            {
                std::lock_guard guard(lock_);
                progress_.item = item.descript;
                ++progress_.started;
            }
            PostMessageW(dialog_, kProgress, 0, 0);
        };
        run.onItemDone = [&](int doneCount) {
            AddTally(done, current->tally);
            counter.ResetCounted();
            publish();
            {
                std::lock_guard guard(lock_);
                progress_.done = doneCount;
            }
            SendMessageW(dialog_, kItemDone, static_cast<WPARAM>(doneCount), 0);
        };
        outcome.tally = run.Execute(items, selection);
        outcome.stopped = run.Stopped();
        outcome.notReached = run.NotReached();
        outcome.left = counter.Left();
        outcome.leftEntries = counter.LeftEntries();
    } catch (...) {
        outcome.failed = true;
        RecordFailure(FailureText("erase run"));
    }
    {
        std::lock_guard guard(lock_);
        outcome_ = std::move(outcome);
    }
    PostMessageW(dialog_, kFinished, kRunEnded, 0);
}

void EraseWorker::RecordFailure(const std::string& text) const
{
    try {
        RecordLog(setup_.recordPath).Write(text);
    } catch (...) {
        // The record file is the last place to tell; a thread may let nothing escape.
    }
}

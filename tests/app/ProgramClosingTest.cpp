#include "engine/EraseContext.h"
#include "engine/items/ItemConditions.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "run/ProgramClosing.h"
#include "settings/ProgramContext.h"
#include "tests/support/Processes.h"
#include "tests/support/Sandbox.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>

// A browser that keeps an item from running, played by a small program with a window: it is told by the
// folder it runs from, and asked to close as its user would, never ended.

namespace {

using namespace std::chrono_literals;

constexpr char kProgram[] = "window_program.exe";

class ProgramClosingTest : public SandboxTest {
protected:
    void TearDown() override
    {
        for (UniqueHandle& process : started_)
            TerminateProcess(process.get(), 0);
        for (UniqueHandle& process : started_)
            WaitForSingleObject(process.get(), 5000);
        SandboxTest::TearDown();
    }

    HANDLE Start(const std::string& folder, const std::string& mode)
    {
        MakeFolder(folder);
        started_.push_back(StartWindowProgram(PathOf(folder), mode));
        EXPECT_TRUE(started_.back()) << folder;
        return started_.back().get();
    }

    EraseItem ItemFor(const std::string& name, const std::string& folder, const std::string& background = {})
    {
        EraseItem item;
        item.id = name;
        item.descript = name + " Cache";
        item.command = "delete-directory";
        item.loaded = true;
        item.running.push_back({kProgram, name, folder.empty() ? "" : PathOf(folder), background});
        return item;
    }

    static bool Ended(HANDLE process) { return WaitForSingleObject(process, 5000) == WAIT_OBJECT_0; }

    std::vector<UniqueHandle> started_;
};

// Chromium and Chrome both run chrome.exe: each item waits only for the browser of its own folder.
TEST_F(ProgramClosingTest, AProgramIsToldByTheFolderItRunsFrom)
{
    Start("Chromium\\Application", "hidden");
    EXPECT_EQ(RunningProgramName(ItemFor("Chrome", "Chrome\\Application")), "");
    EXPECT_EQ(RunningProgramName(ItemFor("Chromium", "Chromium\\Application")), "Chromium");
    EXPECT_EQ(RunningProgramName(ItemFor("Chromium", "*\\Application")), "Chromium");
    // A plug-in that names the file alone still waits for it wherever it runs from.
    EXPECT_EQ(RunningProgramName(ItemFor("Any", "")), "Any");
}

TEST_F(ProgramClosingTest, AProgramThatQuitsOnBeingAskedEndsAndItsItemRuns)
{
    HANDLE process = Start("Quits", "quits");
    EraseItem item = ItemFor("Quitter", "Quits");
    ASSERT_EQ(RunningProgramName(item), "Quitter");
    StillRunning still = CloseRunningPrograms({&item}, 10s);
    EXPECT_TRUE(still.empty());
    EXPECT_TRUE(Ended(process));
    item.ExecuteItem(ProgramEraseContext());
    EXPECT_EQ(item.skipped, "");
}

// Neither is ended: the one asking to save keeps its window, the one in the background has none, and each
// item says why it was skipped, with where to turn the background mode off when the plug-in tells.
TEST_F(ProgramClosingTest, AProgramThatStaysSkipsItsItemWithTheReason)
{
    HANDLE refuses = Start("Refuses", "refuses");
    HANDLE hidden = Start("Hidden", "hidden");
    EraseItem asking = ItemFor("Editor", "Refuses");
    EraseItem background = ItemFor("Edge", "Hidden", "turn off Startup boost in Edge's settings");
    StillRunning still = CloseRunningPrograms({&asking, &background}, 1s);
    EXPECT_EQ(WaitForSingleObject(refuses, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(hidden, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    EraseContext context = ProgramEraseContext();
    context.stillRunning = still;
    asking.ExecuteItem(context);
    EXPECT_EQ(asking.skipped, "skipped: Editor did not close (it may be asking to save something)");
    background.ExecuteItem(context);
    EXPECT_EQ(background.skipped,
              "skipped: Edge runs without a window (turn off Startup boost in Edge's settings)");
}

} // namespace

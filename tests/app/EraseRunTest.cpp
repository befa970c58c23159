#include "framework/ErrorText.h"
#include "framework/RegKey.h"
#include "run/EraseBusy.h"
#include "run/EraseCounter.h"
#include "run/EraseRun.h"
#include "run/RunSelection.h"
#include "settings/AppPaths.h"
#include "tests/app/EraseRunFixture.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using Texts = std::vector<std::string>;

class EraseRunTest : public EraseRunFixture {
protected:
    // The core as the dialog drives it, with the dialog's pacing; onItemDone records the done counts.
    EraseTally RunCore(const EraseRunSetup& setup, EraseRunHooks& hooks, RunPacing pacing,
                       Texts* events = nullptr) const
    {
        RunSelection selection(setup.configPath);
        EraseItemList list(setup.pluginFolder, setup.windowsVersion, selection);
        RecordLog log(setup.recordPath);
        EraseContext context = setup.Context();
        EraseRun run(context, pacing, hooks, log);
        if (events)
            run.onItemDone = [events](int done) { events->push_back("done " + std::to_string(done)); };
        return run.Execute(list, selection);
    }

    void AddThreeSelectedItems() const
    {
        AddItem("1.aep", "a", "Item A");
        AddItem("2.aep", "b", "Item B");
        AddItem("3.aep", "c", "Item C");
        WriteConfig({{"a", true}, {"b", true}, {"c", true}});
    }

    uint64_t StoredCount(const RegKey& key, const char* name) const
    {
        uint64_t value = 0xDEAD;
        EXPECT_EQ(key.QueryCount(value, name), ERROR_SUCCESS) << name;
        return value;
    }
};

TEST_F(EraseRunTest, PausesAndChimeFollowTheSettings)
{
    for (bool express : {false, true}) {
        for (bool sound : {false, true}) {
            Settings settings;
            settings.expressEraseMode = express;
            settings.playSound = sound;
            RunPacing interactive = InteractivePacing(settings);
            EXPECT_EQ(interactive.chime, sound);
            EXPECT_EQ(interactive.pauseMs, express ? 400u : 1000u);
            RunPacing silent = SilentPacing(settings);
            EXPECT_EQ(silent.chime, sound);
            EXPECT_EQ(silent.pauseMs, sound ? 500u : 0u) << "express plays no part in a silent run";
        }
    }
}

TEST_F(EraseRunTest, ErasesTheSelectedAvailableItemsInFileOrder)
{
    AddItem("1.aep", "first", "First Item");
    AddItem("2.aep", "unselected", "Unselected Item");
    AddItem("3.aep", "broken", "Broken Item", false);
    AddItem("4.aep", "unlisted", "Item Without Element");
    AddItem("0.aep", "zero", "Zero Item");
    WriteConfig({{"first", true}, {"unselected", false}, {"broken", true}, {"zero", true}});

    RecordingHooks hooks;
    Texts done;
    EraseTally tally = RunCore(Setup(), hooks, RunPacing{true, 1000}, &done);

    EXPECT_EQ(hooks.events, (Texts{"execute zero", "chime", "pause 1000", "execute first", "chime",
                                   "pause 1000", "execute unlisted", "chime", "pause 1000"}));
    EXPECT_EQ(done, (Texts{"done 1", "done 2", "done 3"}));
    EXPECT_TRUE(ItemErased("zero") && ItemErased("first") && ItemErased("unlisted"));
    EXPECT_TRUE(ItemUntouched("unselected"));
    EXPECT_TRUE(ItemUntouched("broken")) << "an item that failed to load never runs, though selected";
    EXPECT_EQ(tally.filesErased, 6u);
    EXPECT_EQ(tally.bytesReleased, 9000u);
    EXPECT_EQ(tally.registryEntriesErased, 0u);
    EXPECT_EQ(RecordMessages(),
              (Texts{"Zero Item done...", "First Item done...", "Item Without Element done..."}));
}

TEST_F(EraseRunTest, EachItemIsRecordedBeforeItsProgressChimeAndPause)
{
    AddItem("1.aep", "a", "Item A");
    AddItem("2.aep", "b", "Item B");
    WriteConfig({{"a", true}, {"b", true}});
    RecordingHooks hooks;
    Texts seen;
    hooks.onPause = [&] { seen.push_back(RecordMessages().back()); };
    RunSelection selection(PathOf("vestrel.conf"));
    EraseItemList list(PathOf("plugin\\"), 6.1, selection);
    RecordLog log(PathOf("vestrel.log"));
    EraseContext context{PathOf("plugin\\"), ProtectedFolders::OfThisSystem(), 6.1};
    EraseRun run(context, RunPacing{false, 400}, hooks, log);
    run.onItemDone = [&](int done) {
        seen.push_back("done " + std::to_string(done) + " after " + RecordMessages().back());
    };
    run.Execute(list, selection);
    EXPECT_EQ(seen, (Texts{"done 1 after Item A done...", "Item A done...", "done 2 after Item B done...",
                           "Item B done..."}));
}

TEST_F(EraseRunTest, WithoutAReadableConfigurationNothingIsErased)
{
    AddItem("1.aep", "a", "Item A");
    for (const char* config : {"", "<vestrel-config><erase-items>"}) {
        if (*config)
            WriteFile("vestrel.conf", config); // not well formed
        RecordingHooks hooks;
        EraseTally tally = RunCore(Setup(), hooks, RunPacing{true, 1000});
        EXPECT_TRUE(hooks.events.empty());
        EXPECT_EQ(tally.filesErased + tally.bytesReleased + tally.registryEntriesErased, 0u);
        EXPECT_TRUE(ItemUntouched("a"));
        EXPECT_FALSE(Exists("vestrel.log"));
    }
}

TEST_F(EraseRunTest, ConfigurationWithoutItemsElementSelectsEveryItem)
{
    AddItem("1.aep", "a", "Item A");
    WriteFile("vestrel.conf", "<vestrel-config><app-config/></vestrel-config>");
    RecordingHooks hooks;
    RunCore(Setup(), hooks, RunPacing{});
    EXPECT_EQ(hooks.events, (Texts{"execute a"}));
    EXPECT_TRUE(ItemErased("a"));
}

TEST_F(EraseRunTest, AFailingItemCountsNothingAndTheRunGoesOn)
{
    AddThreeSelectedItems();
    RecordingHooks hooks;
    hooks.failOn = "b";
    Texts done;
    EraseTally tally = RunCore(Setup(), hooks, RunPacing{}, &done);
    EXPECT_EQ(done, (Texts{"done 1", "done 2", "done 3"})) << "the failed item keeps its row";
    EXPECT_TRUE(ItemErased("a") && ItemErased("c"));
    EXPECT_EQ(tally.filesErased, 4u);
    EXPECT_EQ(tally.bytesReleased, 6000u);
    EXPECT_EQ(RecordMessages(), (Texts{"Item A done...", "Item B failed: item failed", "Item C done..."}))
        << "a failed item is never recorded as done";
}

TEST_F(EraseRunTest, SilentRunAddsToTheStatisticsAndStoresThem)
{
    AddThreeSelectedItems();
    ProcessStatistics().filesErased = 10;
    ProcessStatistics().bytesReleased = 0xFFFFFFFFu - 999; // the sum passes 32 bits
    ProcessStatistics().registryEntriesErased = 7;
    StoreStatistics(ScratchKey()); // as stored when the program started
    RecordingHooks hooks;
    bool busyWhileRunning = false;
    hooks.onExecute = [&] { busyWhileRunning = IsEraseBusy(); };

    RunSilentErase(Setup(), hooks);

    EXPECT_TRUE(busyWhileRunning);
    EXPECT_FALSE(IsEraseBusy());
    const EraseStatistics& statistics = ProcessStatistics();
    EXPECT_EQ(statistics.filesErased, 16u);
    EXPECT_EQ(statistics.bytesReleased, 0xFFFFFFFFull + 8001);
    EXPECT_EQ(statistics.registryEntriesErased, 7u);
    EXPECT_EQ(statistics.lastErasedTime, FixedNow());
    EXPECT_EQ(statistics.lastErasedText, ExpectedLastErasedText());
    RegKey key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, ScratchKey(), KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(StoredCount(key, "Erased File Num"), 16u);
    EXPECT_EQ(StoredCount(key, "Erased File Size"), 0xFFFFFFFFull + 8001);
    EXPECT_EQ(StoredCount(key, "Erased Register Num"), 7u);
    std::string stored;
    EXPECT_EQ(key.QueryString(stored, "Last Erased Time", 256), ERROR_SUCCESS);
    EXPECT_EQ(stored, "09:05, Jun/01/26");
    EXPECT_EQ(RecordMessages(), (Texts{"Item A done...", "Item B done...", "Item C done..."}));
}

TEST_F(EraseRunTest, ARunAddsToWhatAnotherProgramStoredMeanwhile)
{
    AddThreeSelectedItems();
    ProcessStatistics().filesErased = 10; // what this process read at start-up
    {
        RegKey key; // a vestrel-cli erase stored more since
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, ScratchKey(), KEY_ALL_ACCESS), ERROR_SUCCESS);
        key.SetDword(25, "Erased File Num");
        key.SetDword(100, "Erased File Size");
    }
    RecordingHooks hooks;
    RunSilentErase(Setup(), hooks);

    EXPECT_EQ(ProcessStatistics().filesErased, 31u);
    EXPECT_EQ(ProcessStatistics().bytesReleased, 9100u);
    RegKey key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, ScratchKey(), KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(StoredCount(key, "Erased File Num"), 31u);
    EXPECT_EQ(StoredCount(key, "Erased File Size"), 9100u);
}

TEST_F(EraseRunTest, AProgramThatCannotStartIsWrittenToTheRecordFile)
{
    std::string text = PluginText("r", "Run Item", "windows", "no such program.exe");
    text.replace(text.find("delete-file"), 11, "run");
    WriteFile("plugin\\1.aep", text);
    WriteConfig({{"r", true}});
    RecordingHooks hooks;
    RunSilentErase(Setup(), hooks);
    Texts messages = RecordMessages();
    ASSERT_EQ(messages.size(), 2u);
    // The run's own plug-in folder, from its set-up, holds its programs.
    EXPECT_TRUE(messages[0].starts_with("Run Item: program " + Setup().pluginFolder +
                                        "no such program.exe could not be started: "))
        << messages[0];
    EXPECT_EQ(messages[1], "Run Item done...");
}

TEST_F(EraseRunTest, SilentRunPausesOnlyAfterItsChime)
{
    AddItem("1.aep", "a", "Item A");
    AddItem("2.aep", "b", "Item B");
    WriteConfig({{"a", true}, {"b", true}});
    RecordingHooks quiet;
    RunSilentErase(Setup(/*express*/ true, /*sound*/ false), quiet);
    EXPECT_EQ(quiet.events, (Texts{"execute a", "execute b"}));

    AddItem("1.aep", "a", "Item A"); // the files again
    AddItem("2.aep", "b", "Item B");
    RecordingHooks chiming;
    RunSilentErase(Setup(/*express*/ true, /*sound*/ true), chiming);
    EXPECT_EQ(chiming.events, (Texts{"execute a", "chime", "pause 500", "execute b", "chime", "pause 500"}));
}

TEST_F(EraseRunTest, SilentRunWithoutConfigurationStillStoresTheStatistics)
{
    AddItem("1.aep", "a", "Item A");
    RecordingHooks hooks;
    RunSilentErase(Setup(), hooks);
    EXPECT_TRUE(hooks.events.empty());
    EXPECT_TRUE(ItemUntouched("a"));
    EXPECT_EQ(ProcessStatistics().lastErasedText, ExpectedLastErasedText());
    RegKey key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, ScratchKey(), KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(StoredCount(key, "Erased File Num"), 0u);
    EXPECT_EQ(RecordMessages(), (Texts{"nothing erased: the selection in " + PathOf("vestrel.conf") +
                                       " cannot be read; open Vestrel and tick the items"}));
}

// Nobody watches the schedule or the start-up run: an item whose tick was never stored (a plug-in dropped in
// since, one that failed to load before) waits, and the record file says so.
TEST_F(EraseRunTest, SilentRunErasesOnlyStoredTicksAndRecordsNewItems)
{
    AddItem("1.aep", "a", "Item A");
    AddItem("2.aep", "dropped", "Dropped In");
    AddItem("3.aep", "c", "Item C");
    WriteConfig({{"a", true}, {"c", false}});
    RecordingHooks hooks;
    RunSilentErase(Setup(), hooks);
    EXPECT_EQ(hooks.events, (Texts{"execute a"}));
    EXPECT_TRUE(ItemUntouched("dropped"));
    const std::string waits = "; erased unattended once its tick is stored in Vestrel";
    EXPECT_EQ(RecordMessages(), (Texts{"not erased, new: Dropped In (dropped)" + waits, "Item A done..."}));

    WriteFile("vestrel.conf", "<vestrel-config><app-config/></vestrel-config>"); // no tick stored at all
    RecordingHooks none;
    RunSilentErase(Setup(), none);
    EXPECT_TRUE(none.events.empty());
    EXPECT_TRUE(ItemUntouched("c"));
}

TEST_F(EraseRunTest, BusyFlagIsClearedWhenARunFails)
{
    AddThreeSelectedItems();
    RecordingHooks failingItem;
    failingItem.failOn = "a";
    RunSilentErase(Setup(), failingItem);
    EXPECT_FALSE(IsEraseBusy());
    EXPECT_EQ(ProcessStatistics().filesErased, 4u);

    class FailingPause : public RecordingHooks {
        void Pause(unsigned) override { throw std::runtime_error("pause failed"); }
    } failingPause;
    EXPECT_NO_THROW(RunSilentErase(Setup(false, /*sound*/ true), failingPause));
    EXPECT_FALSE(IsEraseBusy());
}

TEST_F(EraseRunTest, BusyScopesNestAndRestore)
{
    EXPECT_FALSE(IsEraseBusy());
    {
        EraseBusyScope outer;
        {
            EraseBusyScope inner;
            EXPECT_TRUE(IsEraseBusy());
        }
        EXPECT_TRUE(IsEraseBusy()) << "an inner run must not clear the outer one's flag";
    }
    EXPECT_FALSE(IsEraseBusy());
}

// The real pauses, measured only from below: a loaded machine may take longer, never shorter.
TEST_F(EraseRunTest, RealPausesMakeThreeItemsTakeTheirTime)
{
    for (bool express : {false, true}) {
        AddThreeSelectedItems();
        auto start = std::chrono::steady_clock::now();
        RunCore(Setup(express), SystemRunHooks(), InteractivePacing(Setup(express).settings));
        auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(),
                  express ? 1200 : 3000)
            << (express ? "express" : "normal");
        EXPECT_TRUE(ItemErased("a") && ItemErased("b") && ItemErased("c"));
    }
}

// The window's list of what was left says what kind of target each refused one is, as the record file does,
// and a folder that could not be listed is left by its reason, as a file that could not go.
TEST(EraseCounterTest, LeftLinesNameTheKindOfEachRefusedTarget)
{
    EraseCounter counter;
    counter.OnRefused("c:\\windows");
    counter.OnRefused("HKEY_CURRENT_USER\\Software");
    counter.OnRefused("c:\\plug ins\\quo\"te.exe");
    const std::string denied = ErrorText(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    counter.OnUnlistedFolder("c:\\windows\\temp\\", denied);
    counter.OnFolderLink("c:\\cache\\junction");
    EXPECT_EQ(
        counter.LeftEntries(),
        (std::vector<LeftEntry>{{"refused", "c:\\windows", "a drive root or protected folder"},
                                {"refused", "HKEY_CURRENT_USER\\Software", "a protected registry key"},
                                {"refused", "c:\\plug ins\\quo\"te.exe", "a program name holding a quote"},
                                {"access denied", "c:\\windows\\temp\\", denied},
                                {"link", "c:\\cache\\junction", "never followed: what it points to stays"}}));
    EXPECT_EQ(counter.Left().refused, 3u);
    EXPECT_EQ(counter.Left().denied, 1u);
}

} // namespace

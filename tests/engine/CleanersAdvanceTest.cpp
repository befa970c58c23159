#include "engine/cleaners/BuiltInCleaners.h"
#include "engine/cleaners/ClipboardCleaner.h"
#include "engine/cleaners/NotepadHistoryCleaner.h"
#include "engine/files/FileSystemEraser.h"
#include "engine/items/EraseItem.h"
#include "framework/Utf8.h"
#include "settings/ProgramContext.h"
#include "tests/engine/HeardFromCleaner.h"
#include "tests/support/OwnTempFolder.h"
#include "tests/support/PlantedTraces.h"
#include "tests/support/Sandbox.h"
#include "tests/support/SandboxTrash.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

EraseItem AdvanceItem(std::vector<std::string> names)
{
    EraseItem item;
    item.command = "advance";
    item.parameters = std::move(names);
    item.loaded = true;
    return item;
}

TEST(CleanersAdvance, EveryNameOfTheFormatHasItsCleaner)
{
    const std::set<std::string> names = {
        "delete-ie-cache",
        "delete-ie-cookie",
        "delete-ie-history",
        "delete-ie-auto-complete-form",
        "delete-ie-auto-complete-password",
        "delete-ie-favorite",
        "delete-recent-documents",
        "delete-temp-files",
        "empty-recycle-bin",
        "delete-net-hood",
        "empty-clipboard",
        "delete-notepad-plus-plus-history",
        "flush-dns-cache",
        "wipe-free-space",
    };
    std::set<std::string> registered;
    for (const BuiltInCleaner& cleaner : BuiltInCleaners())
        registered.insert(std::string(cleaner.name));
    EXPECT_EQ(registered, names);
    EXPECT_EQ(BuiltInCleaners().size(), names.size());
}

bool PutTextOnClipboard(const wchar_t* text)
{
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory || !OpenClipboard(nullptr))
        return false;
    memcpy(GlobalLock(memory), text, bytes);
    GlobalUnlock(memory);
    EmptyClipboard();
    bool put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    return put;
}

// A copied password must not outlive the run; a preview leaves the clipboard as it is.
TEST(CleanersAdvance, ClipboardIsEmptiedOnlyByAnErase)
{
    ASSERT_TRUE(PutTextOnClipboard(L"correct horse battery staple"));
    EraseItem item = AdvanceItem({"empty-clipboard"});
    item.ExecuteItem(ProgramEraseContext(), {EraseMode::Preview});
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    item.ExecuteItem(ProgramEraseContext());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(item.tally.filesErased + item.tally.registryEntriesErased, 0u);
    // A Windows without a clipboard history has nothing to clear, which is no failure.
    EXPECT_NE(ClearClipboardHistory(), ClipboardHistoryResult::Failed);
}

// The flush is left to the system folder's own ipconfig, started by its full path; a preview starts
// nothing. Wine's ipconfig knows no /flushdns and ends with an error, which is told, never "done".
TEST(CleanersAdvance, DnsCacheIsFlushedByTheSystemFoldersIpconfig)
{
    EraseItem item = AdvanceItem({"flush-dns-cache"});
    HeardFromCleaner preview;
    item.ExecuteItem(ProgramEraseContext(), {EraseMode::Preview, &preview});
    EXPECT_TRUE(preview.failures.empty());
    EXPECT_EQ(preview.said.size(), 1u);

    HeardFromCleaner erase;
    item.ExecuteItem(ProgramEraseContext(), {EraseMode::Erase, &erase});
    wchar_t system[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    for (const std::string& failure : erase.failures) {
        EXPECT_EQ(failure.rfind(ToUtf8(system) + "\\ipconfig.exe /flushdns: ended with code ", 0), 0u)
            << failure;
    }
    EXPECT_LE(erase.failures.size(), 1u);
    EXPECT_EQ(item.tally.filesErased + item.tally.registryEntriesErased, 0u);
}

class CleanersAdvanceRun : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        ASSERT_TRUE(TrashIsInTheSandbox());
        EmptyRecycleBinForTest();
    }

    // What the bins report before the run, summed over the drive roots as the cleaner sums them.
    static EraseTally BinsNow()
    {
        EraseTally bins;
        for (const std::string& root : GetDriveRoots()) {
            SHQUERYRBINFO bin{};
            bin.cbSize = sizeof bin;
            if (SHQueryRecycleBinW(ToWide(root).c_str(), &bin) == S_OK) {
                bins.filesErased += static_cast<uint64_t>(bin.i64NumItems);
                bins.bytesReleased += static_cast<uint64_t>(bin.i64Size);
            }
        }
        return bins;
    }
};

TEST_F(CleanersAdvanceRun, RecycleBinThenTempFilesAddBothCounts)
{
    WriteFile("recycled one.txt", std::string(11, 'r'));
    WriteFile("recycled two.txt", std::string(22, 'r'));
    ASSERT_TRUE(RecycleForTest(PathOf("recycled one.txt")));
    ASSERT_TRUE(RecycleForTest(PathOf("recycled two.txt")));
    EraseTally bins = BinsNow();
    ASSERT_GE(bins.filesErased, 2u);

    OwnTempFolder temp;
    PlantedTraces traces;
    ASSERT_TRUE(traces.File(temp.Folder() + "\\setup.log", 1));
    ASSERT_TRUE(traces.File(temp.Folder() + "\\~DF0A1B.tmp", 2));
    ASSERT_TRUE(traces.File(temp.Folder() + "\\installer\\part.cab", 3));

    EraseItem item = AdvanceItem({"empty-recycle-bin", "no-such-cleaner", "delete-temp-files"});
    EXPECT_TRUE(item.ExecuteItem(ProgramEraseContext()));
    EXPECT_EQ(item.tally.filesErased, bins.filesErased + 3);
    EXPECT_EQ(item.tally.bytesReleased, bins.bytesReleased + 6);
    EXPECT_EQ(item.tally.registryEntriesErased, 0u);
    EXPECT_EQ(ItemsInSandboxTrash(), 0);
    EXPECT_FALSE(PlantedTraces::FileExists(temp.Folder() + "\\installer"));
    EXPECT_TRUE(PlantedTraces::FileExists(temp.Folder()));
}

// The history store and both auto-complete stores count nothing, even when there was something to
// delete; Wine's history store answers "not implemented", which counts nothing as well.
TEST_F(CleanersAdvanceRun, StoreCleanersCountNothing)
{
    PlantedTraces traces;
    const std::string intelliForms = "Software\\Microsoft\\Internet Explorer\\IntelliForms";
    ASSERT_TRUE(traces.Value(HKEY_CURRENT_USER, intelliForms + "\\Storage2", "0A1B", "saved"));
    EraseItem item = AdvanceItem(
        {"delete-ie-history", "delete-ie-auto-complete-form", "delete-ie-auto-complete-password"});
    EXPECT_TRUE(item.ExecuteItem(ProgramEraseContext()));
    EXPECT_FALSE(PlantedTraces::KeyExists(HKEY_CURRENT_USER, intelliForms));
    EXPECT_EQ(item.tally.filesErased, 0u);
    EXPECT_EQ(item.tally.bytesReleased, 0u);
    EXPECT_EQ(item.tally.registryEntriesErased, 0u);
}

// Only the recent files go: the settings, the find history and the file's layout stay, and a file that
// is no settings file of Notepad++ is left as it was.
TEST_F(CleanersAdvanceRun, NotepadPlusPlusLosesItsRecentFilesAndNothingElse)
{
    const std::string config =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<NotepadPlus>\r\n"
        "    <FindHistory nbMaxFindHistoryPath=\"10\">\r\n"
        "        <Find name=\"kept search\" />\r\n    </FindHistory>\r\n"
        "    <History nbMaxFile=\"10\" inSubMenu=\"no\" customLength=\"-1\">\r\n"
        "        <File filename=\"C:\\secret\\plan.txt\" />\r\n"
        "        <File filename=\"C:\\secret\\diary.txt\" />\r\n    </History>\r\n"
        "    <GUIConfigs>\r\n        <GUIConfig name=\"TabBar\" dragAndDrop=\"yes\" />\r\n"
        "    </GUIConfigs>\r\n</NotepadPlus>\r\n";
    WriteFile("config.xml", config);
    HeardFromCleaner heard;
    ClearNotepadPlusPlusHistoryIn(PathOf("config.xml"), {EraseMode::Preview, &heard});
    EXPECT_EQ(ReadFile("config.xml"), config);
    ASSERT_EQ(heard.said.size(), 1u);
    EXPECT_EQ(heard.said[0].rfind("2 entries", 0), 0u) << heard.said[0];

    ClearNotepadPlusPlusHistoryIn(PathOf("config.xml"), {EraseMode::Erase, &heard});
    std::string after = ReadFile("config.xml");
    EXPECT_EQ(after.find("secret"), std::string::npos) << after;
    EXPECT_NE(after.find("<History nbMaxFile=\"10\" inSubMenu=\"no\" customLength=\"-1\""),
              std::string::npos);
    EXPECT_NE(after.find("<Find name=\"kept search\""), std::string::npos) << after;
    EXPECT_NE(after.find("<GUIConfig name=\"TabBar\" dragAndDrop=\"yes\""), std::string::npos) << after;
    EXPECT_NE(after.find("\n    <GUIConfigs>"), std::string::npos) << "the layout changed:\n" << after;
    EXPECT_TRUE(heard.failures.empty());

    WriteFile("config.xml", "<NotepadPlus><History><File filename=\"cut off");
    ClearNotepadPlusPlusHistoryIn(PathOf("config.xml"), {EraseMode::Erase, &heard});
    EXPECT_EQ(ReadFile("config.xml"), "<NotepadPlus><History><File filename=\"cut off");
    ASSERT_EQ(heard.failures.size(), 1u);
    EXPECT_EQ(heard.failures[0].rfind(PathOf("config.xml") + ": ", 0), 0u) << heard.failures[0];

    // A second name of the file is data no item names: it is refused, never edited.
    WriteFile("config.xml", config);
    ASSERT_TRUE(CreateHardLinkW(ToExtendedPath(PathOf("other.xml")).c_str(),
                                ToExtendedPath(PathOf("config.xml")).c_str(), nullptr));
    ClearNotepadPlusPlusHistoryIn(PathOf("config.xml"), {EraseMode::Erase, &heard});
    EXPECT_EQ(ReadFile("other.xml"), config);
    ASSERT_EQ(heard.failures.size(), 2u);
    EXPECT_NE(heard.failures[1].find("other names"), std::string::npos) << heard.failures[1];
}

} // namespace

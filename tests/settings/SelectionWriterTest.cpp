#include "settings/SelectionWriter.h"
#include "framework/Owners.h"
#include "tests/settings/SettingsTest.h"
#include "tests/support/Processes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

using Lines = std::vector<std::string>;
using Row = SelectionPages::Row;

class FakePages : public SelectionPages {
public:
    int CurrentPage() const override { return current; }
    bool IsModified(int page) const override { return modified.at(page); }
    void ClearModified(int page) override { modified[page] = false; }
    std::vector<Row> Rows(int page) const override
    {
        auto found = rows.find(page);
        return found == rows.end() ? std::vector<Row>() : found->second;
    }

    int current = 1;
    std::map<int, bool> modified = {{1, false}, {2, false}, {3, false}};
    std::map<int, std::vector<Row>> rows;
};

class SelectionWriterTest : public SettingsTest {
protected:
    void SetUp() override
    {
        SettingsTest::SetUp();
        WritePlugins();
        // The rows the main window would show, with a failed item's row among them for good measure.
        pages.rows[1] = {{"ie-cookies", 0}, {"ie-cache", 1}, {"ie-cookies-lower", 2}};
        pages.rows[2] = {{"recycle-bin", 1}, {"recent-docs", 0}, {"broken", 1}};
        pages.rows[3] = {{"app-cache", 0}};
    }

    SelectionWriter Writer()
    {
        return SelectionWriter(ConfigPath(), [this](const std::string& text) { messages.push_back(text); });
    }

    FakePages pages;
    std::vector<std::string> messages;
};

TEST_F(SelectionWriterTest, DefaultsOnAFreshInstallSelectExactlyTheTenNamedItems)
{
    auto list = LoadList();
    EXPECT_TRUE(Writer().WriteDefaults(*list));
    std::string expected = ReadWholeFile(TestProgramFolder() + "data\\config\\defaults.conf");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ReadFile("clean.conf"), expected);
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(Exists("clean.conf.new"));
}

// A plug-in may ask to be ticked by "Set Default"; an item of a program not on this machine keeps its line.
TEST_F(SelectionWriterTest, DefaultsAlsoTickItemsTheirPluginMarks)
{
    std::string marked = ReadFile("plugin\\11.aep");
    marked.insert(marked.find("<parameters>"), "<default>true</default>");
    WriteFile("plugin\\11.aep", marked);
    std::string absent = ReadFile("plugin\\13.aep");
    absent.insert(absent.find("<parameters>"), "<detect>" + PathOf("missing") + "</detect>");
    WriteFile("plugin\\13.aep", absent);
    auto list = LoadList();
    ASSERT_EQ(list->Undetected().size(), 1u);
    EXPECT_TRUE(Writer().WriteDefaults(*list));
    Lines lines = ItemLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "<app-cache>true</app-cache>"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "<hidden>false</hidden>"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "<win-temp>true</win-temp>"), lines.end());
}

TEST_F(SelectionWriterTest, WithoutAFileOnlyTheShownPageIsWritten)
{
    pages.current = 2;
    pages.modified[2] = true;
    auto list = LoadList();
    EXPECT_TRUE(Writer().SaveCurrentPage(*list, pages));
    EXPECT_EQ(ItemLines(), (Lines{"<recycle-bin>true</recycle-bin>", "<recent-docs>false</recent-docs>"}));
    EXPECT_FALSE(pages.modified[2]);
}

// A tick is stored only from the page that shows it: an item that appeared since the last save (a plug-in
// dropped in) is not confirmed by a change on another page.
TEST_F(SelectionWriterTest, OtherItemsKeepTheirStoredValueAndNeverStoredOnesStayWithoutALine)
{
    WriteFile("clean.conf", "<vestrel-config><erase-items><ie-cookies>false</ie-cookies><app-cache>False"
                            "</app-cache><recycle-bin>false</recycle-bin><hidden>true</hidden></erase-items>"
                            "</vestrel-config>");
    pages.current = 1;
    pages.modified[1] = true;
    auto list = LoadList();
    EXPECT_TRUE(Writer().SaveCurrentPage(*list, pages));
    EXPECT_EQ(ItemLines(),
              (Lines{
                  "<ie-cache>true</ie-cache>", "<ie-cookies>false</ie-cookies>",
                  "<recycle-bin>false</recycle-bin>", "<app-cache>false</app-cache>", "<hidden>true</hidden>",
                  "<ie-cookies-lower>true</ie-cookies-lower>", // partly checked counts
              }));
}

// The window saves before its first page is shown, before a start-up run: no tick is confirmed there.
TEST_F(SelectionWriterTest, FirstSaveBeforeAnyPageIsShownWritesOnlyStoredTicks)
{
    pages.current = 0;
    auto list = LoadList();
    EXPECT_TRUE(Writer().SaveCurrentPage(*list, pages));
    EXPECT_TRUE(ItemLines().empty()) << "without a file, nothing was stored";
    WriteFile("clean.conf", "<vestrel-config><erase-items><recycle-bin>false</recycle-bin><app-cache>true"
                            "</app-cache></erase-items></vestrel-config>");
    EXPECT_TRUE(Writer().SaveCurrentPage(*list, pages));
    EXPECT_EQ(ItemLines(), (Lines{"<recycle-bin>false</recycle-bin>", "<app-cache>true</app-cache>"}));
    std::string text = ReadFile("clean.conf");
    EXPECT_NE(text.find("        <current-page>0</current-page>\r\n"), std::string::npos);
}

TEST_F(SelectionWriterTest, AnUnchangedPageWritesNothing)
{
    auto list = LoadList();
    EXPECT_TRUE(Writer().SaveCurrentPage(*list, pages));
    EXPECT_FALSE(Exists("clean.conf"));
    WriteFile("clean.conf", "<vestrel-config/>");
    pages.modified[2] = true; // another page's change does not count
    EXPECT_TRUE(Writer().SaveCurrentPage(*list, pages));
    EXPECT_EQ(ReadFile("clean.conf"), "<vestrel-config/>");
    EXPECT_TRUE(pages.modified[2]);
}

// The window saves at every start; with nothing changed the file is left as it is, yet a file that could
// not be written is still reported.
TEST_F(SelectionWriterTest, AStartWithNothingChangedLeavesTheFileAsItIs)
{
    pages.current = 0;
    WriteFile("clean.conf",
              "<vestrel-config><erase-items><ie-cache>true</ie-cache></erase-items></vestrel-config>");
    auto list = LoadList();
    ASSERT_TRUE(Writer().SaveCurrentPage(*list, pages));
    const std::string written = ReadFile("clean.conf");
    std::wstring path = ToExtendedPath(ConfigPath());
    const FILETIME old{0x12345678, 0x01c00000};
    {
        UniqueHandle file(
            CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &old));
    }
    ConfigSelection stored(ConfigPath());
    EXPECT_TRUE(Writer().SaveCurrentPage(*list, pages, &stored));
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.ftLastWriteTime.dwLowDateTime, old.dwLowDateTime) << "the file was written again";
    EXPECT_EQ(ReadFile("clean.conf"), written);
    EXPECT_FALSE(Exists("clean.conf.new"));

    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(Writer().SaveCurrentPage(*list, pages));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(messages, (Lines{"config file can not open"}));
}

// Two items of one id share one tick: the first row's.
TEST_F(SelectionWriterTest, TwoItemsWithOneIdAreBothWrittenAndTheFirstIsRead)
{
    RemoveTreeForTest(PathOf("plugin"));
    WritePlugins({{"same", "First", "ie", true}, {"same", "Second", "ie", true}});
    pages.rows[1] = {{"same", 0}, {"same", 1}};
    pages.modified[1] = true;
    EXPECT_TRUE(Writer().SaveCurrentPage(*LoadList(), pages));
    EXPECT_EQ(ItemLines(), (Lines{"<same>false</same>", "<same>false</same>"}));
    auto list = LoadList();
    EXPECT_EQ(list->Unchecked().size(), 2u);
}

// An imported entry and a shipped item, or two authors' plug-ins, may carry one name.
TEST_F(SelectionWriterTest, TwoItemsWithOneNameKeepTheirOwnTicks)
{
    RemoveTreeForTest(PathOf("plugin"));
    WritePlugins(
        {{"shipped-cache", "Cache", "application", true}, {"imported-cache", "Cache", "application", true}});
    pages.current = 3;
    pages.rows[3] = {{"shipped-cache", 1}, {"imported-cache", 0}};
    pages.modified[3] = true;
    EXPECT_TRUE(Writer().SaveCurrentPage(*LoadList(), pages));
    EXPECT_EQ(ItemLines(),
              (Lines{"<shipped-cache>true</shipped-cache>", "<imported-cache>false</imported-cache>"}));
    pages.rows[3] = {{"shipped-cache", 0}, {"imported-cache", 1}};
    pages.modified[3] = true;
    EXPECT_TRUE(Writer().SaveCurrentPage(*LoadList(), pages));
    EXPECT_EQ(ItemLines(),
              (Lines{"<shipped-cache>false</shipped-cache>", "<imported-cache>true</imported-cache>"}));
}

// A missing element counts as selected, so dropping a failed item's element would tick it behind the
// user's back.
TEST_F(SelectionWriterTest, AnItemWhosePluginFailedToLoadKeepsItsStoredElementInPlace)
{
    WriteFile("clean.conf", "<vestrel-config><erase-items><gone>No &amp; never</gone><recent-run>true"
                            "</recent-run><broken>false</broken><win-temp>false</win-temp></erase-items>"
                            "</vestrel-config>");
    auto list = LoadList();
    auto expectKept = [this](const char* how) {
        Lines lines = ItemLines();
        auto at = [&lines](const char* line) {
            return std::find(lines.begin(), lines.end(), line) - lines.begin();
        };
        ASSERT_FALSE(lines.empty()) << how;
        EXPECT_EQ(lines.front(), "<gone>No &amp; never</gone>") << how;
        EXPECT_EQ(at("<broken>false</broken>"), at("<recent-run>true</recent-run>") + 1) << how;
    };
    pages.modified[1] = true;
    EXPECT_TRUE(Writer().SaveCurrentPage(*list, pages));
    expectKept("saving a page");
    EXPECT_TRUE(Writer().WriteDefaults(*list));
    expectKept("Set Default");

    std::vector<TestItem> repaired = StandardItems();
    for (TestItem& item : repaired)
        item.valid = true;
    WritePlugins(repaired);
    auto reloaded = LoadList();
    const auto& unchecked = reloaded->Unchecked();
    EXPECT_TRUE(std::any_of(unchecked.begin(), unchecked.end(), [](const EraseItem* item) {
        return item->id == "broken";
    })) << "loaded again, it is still unticked";
}

TEST_F(SelectionWriterTest, AFileThatCannotBeWrittenIsReportedAndTheOldOneStays)
{
    const std::string old =
        "<vestrel-config><erase-items><hidden>false</hidden></erase-items></vestrel-config>";
    WriteFile("clean.conf", old);
    MakeFolder("clean.conf.new"); // where the new file would be written
    auto list = LoadList();
    EXPECT_FALSE(Writer().WriteDefaults(*list));
    pages.modified[1] = true;
    EXPECT_FALSE(Writer().SaveCurrentPage(*list, pages));
    EXPECT_EQ(messages, (Lines{"config file can not open", "config file can not open"}));
    EXPECT_EQ(ReadFile("clean.conf"), old);
}

TEST_F(SelectionWriterTest, AReadOnlyFileOrAFolderInItsPlaceIsReportedAndKept)
{
    const std::string old =
        "<vestrel-config><erase-items><ie-cache>false</ie-cache></erase-items></vestrel-config>";
    WriteFile("clean.conf", old);
    std::wstring path = ToExtendedPath(ConfigPath());
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    auto list = LoadList();
    EXPECT_FALSE(Writer().WriteDefaults(*list));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFile("clean.conf"), old);

    DeleteFileW(path.c_str());
    WriteFile("clean.conf\\inside.txt", "kept");
    pages.modified[1] = true;
    EXPECT_FALSE(Writer().SaveCurrentPage(*list, pages));
    EXPECT_EQ(messages, (Lines{"config file can not open", "config file can not open"}));
    EXPECT_EQ(ReadFile("clean.conf\\inside.txt"), "kept");
    EXPECT_FALSE(Exists("clean.conf.new"));
}

} // namespace

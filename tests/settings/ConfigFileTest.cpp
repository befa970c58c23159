#include "settings/ConfigFile.h"
#include "settings/ConfigSelection.h"
#include "tests/settings/SettingsTest.h"
#include "tests/support/ItemIds.h"
#include "tests/support/Processes.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

using Texts = std::vector<std::string>;

class ConfigFileTest : public SettingsTest {
protected:
    void WriteSelectionPlugins()
    {
        WritePlugins({{"said-false", "A", "ie", true},
                      {"said-true", "B", "ie", true},
                      {"said-yes", "C", "ie", true},
                      {"said-one", "D", "ie", true},
                      {"never-stored", "E", "ie", true},
                      {"broken", "F", "ie", false}});
    }

    const std::string oldFile_ = "<vestrel-config>\r\n    <erase-items>\r\n        <kept>false</kept>\r\n"
                                 "    </erase-items>\r\n</vestrel-config>\r\n";
};

TEST_F(ConfigFileTest, ItemsAreSortedByTheStoredSelection)
{
    WriteSelectionPlugins();
    CopyFileForTest(TestProgramFolder() + "data\\config\\selection.conf", ConfigPath());
    auto list = LoadList();
    EXPECT_EQ(Ids(list->Checked()), (Texts{"said-true", "never-stored"}));
    EXPECT_EQ(Ids(list->Unchecked()), (Texts{"said-false", "said-yes", "said-one"}));
    EXPECT_EQ(Ids(list->Failed()), Texts{"broken"});
}

// A warned item (unsaved text, offline songs) that appeared after the ticks were stored must not show
// ticked and be erased by the next "Erase Now".
TEST_F(ConfigFileTest, AWarnedItemIsTickedOnlyByItsOwnStoredTrue)
{
    CopyFileForTest(TestProgramFolder() + "data\\config\\selection.conf", ConfigPath());
    ConfigSelection selection(ConfigPath());
    EraseItem warned;
    warned.warning = "Removes unsaved text.";
    for (const char* id : {"never-stored", "said-false", "said-true"}) {
        warned.id = id;
        EXPECT_EQ(selection.IsItemSelected(warned), warned.id == "said-true") << id;
    }
    EraseItem plain;
    plain.id = "never-stored";
    EXPECT_TRUE(selection.IsItemSelected(plain));
    DeleteFileW(ToExtendedPath(ConfigPath()).c_str());
    EXPECT_FALSE(ConfigSelection(ConfigPath()).IsItemSelected(warned));
}

TEST_F(ConfigFileTest, EveryItemIsCheckedWithoutAReadableSelection)
{
    WriteSelectionPlugins();
    const std::string dataFolder = TestProgramFolder() + "data\\config\\";
    // No file, a file without erase-items, and a file refused for its DTD.
    for (const char* file : {"", "no-items.conf", "doctype.conf"}) {
        SCOPED_TRACE(file);
        DeleteFileW(ToExtendedPath(ConfigPath()).c_str());
        if (*file) {
            ASSERT_TRUE(CopyFileForTest(dataFolder + file, ConfigPath()));
        }
        auto list = LoadList();
        EXPECT_EQ(list->Checked().size(), 5u);
        EXPECT_TRUE(list->Unchecked().empty());
        EXPECT_EQ(ConfigSelection(ConfigPath()).IsLoaded(), std::string(file) == "no-items.conf");
    }
}

TEST_F(ConfigFileTest, WrittenLinesReadBackWithoutLengthLimits)
{
    std::string longId = "id" + std::string(5000, 'x');
    std::string longText(3000, 't');
    ConfigFile writer(ConfigPath());
    ASSERT_TRUE(writer.OpenForWrite());
    writer.WriteOpening();
    writer.WriteItem(longId, false);
    writer.WriteItem("short", true);
    writer.WriteLine("        <text>" + longText + "</text>");
    writer.WriteClosing(0);
    ASSERT_TRUE(writer.Close());

    ConfigSelection selection(ConfigPath());
    ASSERT_TRUE(selection.IsLoaded());
    EXPECT_FALSE(selection.IsSelected(longId));
    EXPECT_TRUE(selection.IsSelected("short"));
    ConfigFile reader(ConfigPath());
    ASSERT_TRUE(reader.SelectChild(ConfigFile::kItemsElement, reader));
    EXPECT_EQ(reader.GetText("text", ""), longText);
}

TEST_F(ConfigFileTest, AWriterKilledHalfWayLeavesTheOldFileReadable)
{
    WriteFile("clean.conf", oldFile_);
    std::string helper = TestProgramFolder() + "interrupted_config_write.exe";
    EXPECT_EQ(RunAndWait("\"" + helper + "\" \"" + ConfigPath() + "\""), 9);
    ASSERT_NE(ReadFile("clean.conf.new").find("half-written"), std::string::npos)
        << "the writer did not start";
    EXPECT_EQ(ReadFile("clean.conf"), oldFile_);
    ConfigSelection selection(ConfigPath());
    EXPECT_TRUE(selection.IsLoaded());
    EXPECT_FALSE(selection.IsSelected("kept"));

    // The next write is not disturbed by what the killed one left.
    ConfigFile writer(ConfigPath());
    ASSERT_TRUE(writer.OpenForWrite());
    writer.WriteOpening();
    writer.WriteItem("kept", true);
    writer.WriteClosing(0);
    EXPECT_TRUE(writer.Close());
    EXPECT_TRUE(ConfigSelection(ConfigPath()).IsSelected("kept"));
    EXPECT_FALSE(Exists("clean.conf.new"));
}

TEST_F(ConfigFileTest, AFileThatCannotBeReplacedStaysAsItWas)
{
    WriteFile("clean.conf", oldFile_);
    // Held open without delete sharing, the old file can be neither replaced nor renamed over.
    UniqueHandle holder(CreateFileW(ToExtendedPath(ConfigPath()).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    ConfigFile writer(ConfigPath());
    ASSERT_TRUE(writer.OpenForWrite());
    writer.WriteOpening();
    writer.WriteClosing(0);
    EXPECT_FALSE(writer.Close());
    holder.reset();
    EXPECT_EQ(ReadFile("clean.conf"), oldFile_);
    EXPECT_FALSE(Exists("clean.conf.new"));
}

TEST_F(ConfigFileTest, AnAbandonedWriteChangesNothing)
{
    WriteFile("clean.conf", oldFile_);
    {
        ConfigFile writer(ConfigPath());
        ASSERT_TRUE(writer.OpenForWrite());
        writer.WriteOpening();
    }
    EXPECT_EQ(ReadFile("clean.conf"), oldFile_);
    EXPECT_FALSE(Exists("clean.conf.new"));
    ConfigFile notOpen(ConfigPath());
    EXPECT_FALSE(notOpen.Close());
}

} // namespace

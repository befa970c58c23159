#include "engine/EraseItemList.h"
#include "tests/engine/PluginTestFiles.h"
#include "tests/support/ItemIds.h"
#include "tests/support/Sandbox.h"

#include <gtest/gtest.h>

#include <set>

namespace {

class SelectAll : public ItemSelection {
public:
    bool IsSelected(const std::string&) const override { return true; }
};

class SelectAllBut : public ItemSelection {
public:
    explicit SelectAllBut(std::set<std::string> unselected) : unselected_(std::move(unselected)) {}
    bool IsSelected(const std::string& id) const override { return !unselected_.contains(id); }

private:
    std::set<std::string> unselected_;
};

using Texts = std::vector<std::string>;

class EraseItemListTest : public SandboxTest {
protected:
    void WritePlugin(const std::string& relative, const std::string& id, const std::string& descript = "Item")
    {
        WriteFile("plugin\\" + relative, PluginText(id, descript));
    }
    std::string PluginFolder() const { return PathOf("plugin\\"); }
};

TEST_F(EraseItemListTest, MissingOrEmptyFolderGivesEmptyLists)
{
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1)
            MakeFolder("plugin");
        EraseItemList list(PluginFolder(), 6.1, SelectAll());
        EXPECT_TRUE(list.FileNames().empty());
        EXPECT_TRUE(list.Items().empty());
        EXPECT_TRUE(list.Checked().empty() && list.Unchecked().empty() && list.Failed().empty());
        EXPECT_EQ(list.TotalFilesErased(), 0u);
    }
}

TEST_F(EraseItemListTest, OnlyPluginFilesDirectlyInTheFolderAreRead)
{
    WritePlugin("b.aep", "b");
    WritePlugin("A.AEP", "a");
    WritePlugin("folder.aep\\inside.aep", "in-folder");
    WritePlugin("sub\\deeper.aep", "in-subfolder");
    WritePlugin("c.aepx", "longer-extension");
    WritePlugin("d.txt", "text");
    WritePlugin("e.aep.bak", "backup");
    for (std::string folder : {PathOf("plugin"), PluginFolder()}) {
        EraseItemList list(folder, 6.1, SelectAll());
        EXPECT_EQ(list.FileNames(), (Texts{PathOf("plugin\\A.AEP"), PathOf("plugin\\b.aep")}));
        EXPECT_EQ(Ids(list.Checked()), (Texts{"a", "b"}));
        EXPECT_EQ(list.Items()[0].path, PathOf("plugin\\A.AEP"));
    }
}

TEST_F(EraseItemListTest, ItemsAreSortedByLoadAndSelectionInFileOrder)
{
    WritePlugin("1.aep", "one");
    WriteFile("plugin\\2.aep", "not xml");
    WritePlugin("3.aep", "three");
    WritePlugin("4.aep", "four");
    WritePlugin("5.aep", "five");
    WriteFile("plugin\\6.aep", "<p><head/></p>");
    EraseItemList list(PluginFolder(), 6.1, SelectAllBut({"three", "five"}));
    EXPECT_EQ(Ids(list.Checked()), (Texts{"one", "four"}));
    EXPECT_EQ(Ids(list.Unchecked()), (Texts{"three", "five"}));
    ASSERT_EQ(list.Failed().size(), 2u);
    EXPECT_EQ(list.Failed()[0]->errorText, "plugin FAILED to load!");
    EXPECT_EQ(list.Failed()[1]->errorText, "node root->body not found");
    EXPECT_EQ(list.Items().size(), 6u);
}

TEST_F(EraseItemListTest, TotalsCountTheCheckedItemsOnlyPast32Bits)
{
    WritePlugin("1.aep", "one");
    WritePlugin("2.aep", "two");
    WritePlugin("3.aep", "three");
    EraseItemList list(PluginFolder(), 6.1, SelectAllBut({"three"}));
    list.Items()[0].tally = {3, 0xFFFFFFF0u, 7};
    list.Items()[1].tally = {4, 0x20u, 1};
    list.Items()[2].tally = {100, 100, 100};
    EXPECT_EQ(list.TotalFilesErased(), 7u);
    EXPECT_EQ(list.TotalBytesReleased(), 0x100000010u);
    EXPECT_EQ(list.TotalRegistryEntriesErased(), 8u);
}

TEST_F(EraseItemListTest, IdForDescriptionIsTheFirstLoadedMatch)
{
    std::string noType = PluginText("failed", "Shared");
    noType.erase(noType.find("<type>"), std::string("<type>windows</type>").size());
    WriteFile("plugin\\1.aep", noType);
    WritePlugin("2.aep", "first", "Shared");
    WritePlugin("3.aep", "second", "Shared");
    WritePlugin("4.aep", "other", "Other");
    EraseItemList list(PluginFolder(), 6.1, SelectAll());
    ASSERT_EQ(list.Items()[0].descript, "Shared");
    EXPECT_EQ(list.IdForDescription("Shared"), "first");
    EXPECT_EQ(list.IdForDescription("Other"), "other");
    EXPECT_EQ(list.IdForDescription("shared"), "");
    EXPECT_EQ(list.IdForDescription(""), "");
}

TEST_F(EraseItemListTest, NoLimitOnTheNumberOfItemsOrTheLengthOfANameOrParameter)
{
    std::string longName(300, 'n');
    std::string longParameter(2000, 'p');
    for (int i = 0; i < 300; ++i) {
        std::string id = "item" + std::to_string(i);
        WriteFile("plugin\\" + id + ".aep", PluginText(id, longName + id, "windows", longParameter));
    }
    EraseItemList list(PluginFolder(), 6.1, SelectAll());
    ASSERT_EQ(list.Checked().size(), 300u);
    EXPECT_EQ(list.IdForDescription(longName + "item299"), "item299");
    EXPECT_EQ(list.Checked()[0]->parameters, std::vector<std::string>{longParameter});
}

} // namespace

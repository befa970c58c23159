#include "engine/items/EraseItemList.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "tests/engine/PluginTestFiles.h"
#include "tests/support/ItemIds.h"
#include "tests/support/Sandbox.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <set>
#include <tuple>

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

// The system's order ignoring case, as it upper-cases: "_" comes after the letters, and a name beyond ASCII
// takes its place among the others.
TEST_F(EraseItemListTest, PluginFilesLoadInTheSystemsOrderIgnoringCase)
{
    for (const char* name : {"_tools.aep", "b.aep", "A.aep", "Ä.aep", "ab.aep", "Z.aep"})
        WritePlugin(name, "x");
    EraseItemList list(PluginFolder(), 6.1, SelectAll());
    Texts names;
    for (const std::string& path : list.FileNames())
        names.push_back(path.substr(PluginFolder().size()));
    EXPECT_EQ(names, (Texts{"A.aep", "ab.aep", "b.aep", "Z.aep", "_tools.aep", "Ä.aep"}));
}

// A row's tooltip and the erase dialog explain every item, also one whose plug-in has an empty head.
TEST_F(EraseItemListTest, EveryItemHasAnExplanation)
{
    WritePlugin("said.aep", "said");
    WriteFile("plugin\\silent.aep", Replaced(PluginText("silent", "Silent"), "<head>h</head>", "<head/>"));
    EraseItemList list(PathOf("plugin"), 6.1, SelectAll());
    ASSERT_EQ(list.Items().size(), 2u);
    EXPECT_EQ(ItemExplanation(list.Items()[0]), "h");
    EXPECT_EQ(ItemExplanation(list.Items()[1]), "Removes what its plug-in file silent.aep names.");
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

// The plug-in cache, as the program keeps it beside its configuration. Plug-ins get an old write time,
// as files that have settled do. A plug-in held open by another program with no sharing cannot be parsed
// but is still listed: the probe that shows whether an item came from the cache.
class PluginCacheTest : public EraseItemListTest {
protected:
    static constexpr uint64_t kOld = 130000000000000000ull; // in 2012

    PluginCacheFile Cache(const std::string& stamp = "build 1") const
    {
        return {PathOf("Vestrel.cache"), stamp};
    }

    void WriteSettled(const std::string& name, const std::string& id, uint64_t writeTime = kOld)
    {
        WritePlugin(name, id);
        Settle("plugin\\" + name, writeTime);
    }

    void Settle(const std::string& relative, uint64_t writeTime = kOld) const
    {
        UniqueHandle file(CreateFileW(ToWide(PathOf(relative)).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        FILETIME time{static_cast<DWORD>(writeTime), static_cast<DWORD>(writeTime >> 32)};
        ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &time));
    }

    Texts LoadedIds(const PluginCacheFile& cache, double windowsVersion = 6.1,
                    const std::string& folder = "plugin\\") const
    {
        EraseItemList list(PathOf(folder), windowsVersion, SelectAll(), cache);
        return Ids(list.Checked());
    }

    // The items loaded while no plug-in file of the folder can be read: those the cache gives.
    Texts CachedIds(const PluginCacheFile& cache, double windowsVersion = 6.1,
                    const std::string& folder = "plugin\\") const
    {
        std::vector<UniqueHandle> held;
        for (const auto& entry : std::filesystem::directory_iterator(ToWide(PathOf(folder))))
            held.emplace_back(
                CreateFileW(entry.path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        return LoadedIds(cache, windowsVersion, folder);
    }
};

TEST_F(PluginCacheTest, UnchangedPluginIsNotParsedAgainAndAChangedOneIs)
{
    WriteSettled("a.aep", "one1");
    WriteSettled("b.aep", "two2");
    EXPECT_EQ(LoadedIds(Cache()), (Texts{"one1", "two2"}));
    EXPECT_EQ(CachedIds(Cache()), (Texts{"one1", "two2"})) << "unchanged files come from the cache";
    EXPECT_EQ(CachedIds({}), Texts{}) << "without a cache every file is parsed";
    WriteSettled("a.aep", "uno1"); // the same size and write time, as copy tools and touch -r leave them
    EXPECT_EQ(CachedIds(Cache()), Texts{"two2"}) << "an edited file is read again";
    EXPECT_EQ(LoadedIds(Cache()), (Texts{"uno1", "two2"}));
    WriteSettled("b.aep", "two22");
    WriteSettled("c.aep", "three");
    EXPECT_EQ(LoadedIds(Cache()), (Texts{"uno1", "two22", "three"}));
    std::filesystem::remove(ToWide(PathOf("plugin\\b.aep")));
    EXPECT_EQ(CachedIds(Cache()), (Texts{"uno1", "three"})) << "a removed plug-in is gone from the list";
}

TEST_F(PluginCacheTest, JustWrittenPluginIsParsedUntilItHasSettled)
{
    WritePlugin("a.aep", "one1");
    EXPECT_EQ(LoadedIds(Cache()), Texts{"one1"});
    WritePlugin("a.aep", "uno1"); // may keep the write time where the file system counts in seconds
    EXPECT_EQ(LoadedIds(Cache()), Texts{"uno1"});
}

TEST_F(PluginCacheTest, DamagedOrOtherCacheIsIgnored)
{
    WriteSettled("a.aep", "one1");
    EXPECT_EQ(LoadedIds(Cache()), Texts{"one1"});
    const std::string good = ReadFile("Vestrel.cache");
    std::string flipped = good;
    flipped[flipped.find("one1")] = 'x';
    for (const std::string& damaged : {good.substr(0, good.size() / 2), good.substr(0, good.size() - 1),
                                       flipped, good + "1:x", std::string("garbage")}) {
        WriteFile("Vestrel.cache", damaged);
        EXPECT_EQ(CachedIds(Cache()), Texts{}) << damaged;
    }
    WriteFile("Vestrel.cache", good);
    EXPECT_EQ(CachedIds(Cache("build 2")), Texts{}) << "another build's cache";
    WriteFile("Vestrel.cache", good);
    EXPECT_EQ(CachedIds(Cache(), 10), Texts{}) << "a cache for another Windows version";
    WriteFile("Vestrel.cache", good);
    WriteFile("other\\a.aep", ReadFile("plugin\\a.aep"));
    Settle("other\\a.aep");
    EXPECT_EQ(CachedIds(Cache(), 6.1, "other\\"), Texts{}) << "a cache of another plug-in folder";
    WriteFile("Vestrel.cache", good);
    EXPECT_EQ(CachedIds(Cache()), Texts{"one1"}) << "the good cache is still used";
}

TEST_F(PluginCacheTest, CachedItemHasEverythingTheFileGives)
{
    WriteFile(
        "plugin\\a.aep",
        PluginWith("delete-file",
                   "<item recurse=\"All\">C:\\A\\*.TMP</item><item recurse=\"none\">C:\\D\\*</item>"
                   "<item command=\"delete-directory\" remove-self=\"true\">C:\\B</item>"
                   "<item command=\"empty-table\" table=\"autofill\">C:\\B\\Web Data</item>",
                   "<running name=\"Chrome\" folder=\"C:\\Chrome\" background=\"Boost\">chrome.exe</running>"
                   "<group>Chrome</group><older-than-hours>24</older-than-hours>"
                   "<keep>C:\\B\\Low</keep><detect>C:\\</detect><warning>Line\r\nbreak 4:x</warning>"
                   "<default>True</default><timeout-seconds>30</timeout-seconds>"));
    Settle("plugin\\a.aep");
    WriteSettled("b.aep", "plain");
    EraseItemList parsed(PluginFolder(), 10, SelectAll());
    EraseItemList{PluginFolder(), 10, SelectAll(), Cache()};
    EraseItemList cached(PluginFolder(), 10, SelectAll(), Cache());
    ASSERT_EQ(cached.Items().size(), 2u);
    EXPECT_EQ(cached.Items()[0].group, "Chrome");
    EXPECT_EQ(cached.Items()[0].running.at(0).folder, "C:\\Chrome");
    for (size_t i = 0; i < 2; ++i) {
        const EraseItem& a = parsed.Items()[i];
        const EraseItem& b = cached.Items()[i];
        EXPECT_TRUE(b.loaded && b.Listed());
        EXPECT_EQ(
            std::tie(a.path, a.descript, a.type, a.id, a.command, a.parameters, a.head, a.timeoutSeconds,
                     a.olderThanHours, a.keep, a.detect, a.warning, a.isDefault, a.group),
            std::tie(b.path, b.descript, b.type, b.id, b.command, b.parameters, b.head, b.timeoutSeconds,
                     b.olderThanHours, b.keep, b.detect, b.warning, b.isDefault, b.group));
        ASSERT_EQ(a.parameterOptions.size(), b.parameterOptions.size());
        for (size_t p = 0; p < a.parameterOptions.size(); ++p) {
            EXPECT_EQ(a.OptionsOf(p).recurse, b.OptionsOf(p).recurse);
            EXPECT_EQ(a.CommandOf(p), b.CommandOf(p));
            EXPECT_EQ(a.OptionsOf(p).removeSelf, b.OptionsOf(p).removeSelf);
            EXPECT_EQ(a.OptionsOf(p).table, b.OptionsOf(p).table);
        }
        ASSERT_EQ(a.running.size(), b.running.size());
        for (size_t r = 0; r < a.running.size(); ++r)
            EXPECT_EQ(
                std::tie(a.running[r].exe, a.running[r].name, a.running[r].folder, a.running[r].background),
                std::tie(b.running[r].exe, b.running[r].name, b.running[r].folder, b.running[r].background));
    }
}

} // namespace

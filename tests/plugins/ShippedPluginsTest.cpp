#include "engine/EraseItemList.h"
#include "framework/Utf8.h"
#include "settings/ConfigSelection.h"
#include "settings/SelectionWriter.h"
#include "tests/plugins/PluginChecker.h"
#include "tests/plugins/ShippedFolder.h"
#include "tests/support/Sandbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

const std::set<std::string> kDefaultItems = {
    "IE Auto Complete Form",  "IE Auto Complete Password",
    "IE Cache Files",         "IE Cookies",
    "IE History List",        "IE Type URLs",
    "Empty Recycle Bin",      "Start--Recent Documents",
    "Start--Recent Run List", "Windows Temp Files",
};

class AllSelected : public ItemSelection {
public:
    bool IsSelected(const std::string&) const override { return true; }
};

std::string FileBytes(const std::string& path)
{
    std::ifstream in(std::filesystem::path(ToExtendedPath(path)), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> CrLfLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    for (size_t start = 0; start < bytes.size();) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start) + " <no CR LF>");
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST(ShippedPlugins, PassTheCheckerOnEveryVersion)
{
    PluginChecker checker(ProtectedFolders::OfThisSystem());
    std::vector<std::string> problems = checker.CheckFolder(ShippedPluginFolder(), {5, 5.1, 10});
    std::string all;
    for (const std::string& problem : problems)
        all += problem + "\n";
    EXPECT_TRUE(problems.empty()) << all;
}

TEST(ShippedPlugins, HoldTheTenDefaultItemsOnceEach)
{
    EraseItemList list(ShippedPluginFolder(), 10, AllSelected());
    ASSERT_TRUE(list.Failed().empty());
    std::multiset<std::string> found;
    for (const EraseItem& item : list.Items()) {
        if (kDefaultItems.count(item.descript))
            found.insert(item.descript);
    }
    EXPECT_EQ(found, std::multiset<std::string>(kDefaultItems.begin(), kDefaultItems.end()));
    for (const char* builtIn : {"IE Favorites", "Network Shortcuts"})
        EXPECT_FALSE(list.IdForDescription(builtIn).empty()) << builtIn;
}

TEST(ShippedPlugins, EveryPageHasItems)
{
    EraseItemList list(ShippedPluginFolder(), 10, AllSelected());
    for (const char* type : {"ie", "windows", "application"}) {
        EXPECT_TRUE(std::any_of(list.Items().begin(), list.Items().end(), [&](const EraseItem& item) {
            return item.type == type;
        })) << type;
    }
}

// A first start reads the shipped configuration file: only the ten default items and those their file
// marks as default may be ticked, so a first "Erase Now" takes nobody's favorites, bookmarks or open tabs.
TEST(ShippedConfiguration, FirstStartTicksExactlyTheDefaultItems)
{
    ConfigSelection selection(ShippedProgramFolder() + "Vestrel.conf");
    ASSERT_TRUE(selection.IsLoaded());
    EraseItemList list(ShippedPluginFolder(), 10, selection);
    std::set<std::string> checked;
    std::set<std::string> defaults = kDefaultItems;
    for (const EraseItem& item : list.Items()) {
        if (selection.IsSelected(item.id))
            checked.insert(item.descript);
        if (item.isDefault)
            defaults.insert(item.descript);
    }
    EXPECT_EQ(checked, defaults);
    EXPECT_EQ(list.Checked().size() + list.Unchecked().size() + list.Undetected().size(), list.Items().size());
}

class ShippedConfigurationFile : public SandboxTest {};

// The shipped file is what "Set Default" writes for the shipped items: the same lines, each item once,
// CR LF line ends; only the items' order may differ, since it follows the folder's listing.
TEST_F(ShippedConfigurationFile, IsWhatSetDefaultWrites)
{
    EraseItemList list(ShippedPluginFolder(), 10, AllSelected());
    SelectionWriter writer(PathOf("Vestrel.conf"), [](const std::string& text) { FAIL() << text; });
    ASSERT_TRUE(writer.WriteDefaults(list));

    std::vector<std::string> written = CrLfLines(ReadFile("Vestrel.conf"));
    std::vector<std::string> shipped = CrLfLines(FileBytes(ShippedProgramFolder() + "Vestrel.conf"));
    ASSERT_EQ(shipped.size(), written.size());
    ASSERT_GE(shipped.size(), 8u);
    EXPECT_TRUE(std::equal(shipped.begin(), shipped.begin() + 3, written.begin()));
    EXPECT_TRUE(std::equal(shipped.end() - 5, shipped.end(), written.end() - 5));
    std::multiset<std::string> shippedItems(shipped.begin() + 3, shipped.end() - 5);
    std::multiset<std::string> writtenItems(written.begin() + 3, written.end() - 5);
    EXPECT_EQ(shippedItems, writtenItems);
}

} // namespace

#include "engine/cleaners/BuiltInCleaners.h"
#include "engine/items/EraseItemList.h"
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

// What a first start ticks: what can go without loss. Caches of every browser, the temporary files, the
// recycle bin and Windows' recent lists; never cookies, history, passwords or anything with a warning.
const std::set<std::string> kDefaultItems = {
    "IE Cache Files",
    "Chrome Cache",
    "Edge Cache",
    "Brave Cache",
    "Vivaldi Cache",
    "Chromium Cache",
    "Opera Cache",
    "Opera GX Cache",
    "Firefox Cache",
    "LibreWolf Cache",
    "Waterfox Cache",
    "Thunderbird Cache",
    "Empty Recycle Bin",
    "Windows Temp Files",
    "Start--Recent Documents",
    "Start--Recent Run List",
    "Explorer Recent Documents List",
    "Explorer Open/Save Dialog History",
    "Explorer Last Visited Folders",
    "Explorer Typed Paths",
    "Paint Recent Files",
    "WordPad Recent Files",
    "Media Player Recent Files",
    "Explorer More Recent Lists",
    "Outlook (new) Cache",
    "Copilot and Widgets Cache",
    "Store Apps Web Caches",
};

// Every built-in cleaner has exactly one shipped item.
const std::set<std::string> kBuiltInItems = {
    "IE Cache Files",
    "IE Cookies (IE mode and web controls)",
    "IE History List (IE mode and web controls)",
    "IE Auto Complete Form (Windows XP and older)",
    "IE Saved Forms and Passwords",
    "IE Favorites",
    "Empty Recycle Bin",
    "Start--Recent Documents",
    "Network Shortcuts",
    "Clipboard",
    "Notepad++ Recent Files",
    "Windows DNS Cache",
    "Wipe Free Space of the System Drive",
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

TEST(ShippedPlugins, HoldEachBuiltInCleanerOnce)
{
    EraseItemList list(ShippedPluginFolder(), 10, AllSelected());
    ASSERT_TRUE(list.Failed().empty());
    std::multiset<std::string> found;
    std::set<std::string> cleaners;
    for (const EraseItem& item : list.Items()) {
        if (item.command != "advance")
            continue;
        found.insert(item.descript);
        cleaners.insert(item.parameters.begin(), item.parameters.end());
    }
    EXPECT_EQ(found, std::multiset<std::string>(kBuiltInItems.begin(), kBuiltInItems.end()));
    EXPECT_EQ(cleaners.size() + 1, BuiltInCleaners().size()); // the temp cleaner gave way to a file item
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

// A first start reads the shipped configuration file: only the default items may be ticked, so a first
// "Erase Now" takes nobody's cookies, history, favorites, bookmarks or open tabs.
TEST(ShippedConfiguration, FirstStartTicksExactlyTheDefaultItems)
{
    ConfigSelection selection(ShippedProgramFolder() + "Vestrel.conf");
    ASSERT_TRUE(selection.IsLoaded());
    // Items of programs this machine lacks are not listed, but the file ticks them all the same.
    EraseItemList list(ShippedPluginFolder(), 10, selection);
    std::set<std::string> ticked;
    for (const EraseItem& item : list.Items()) {
        if (selection.IsSelected(item.id))
            ticked.insert(item.descript);
    }
    EXPECT_EQ(ticked, kDefaultItems);
    EXPECT_TRUE(list.Failed().empty());
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

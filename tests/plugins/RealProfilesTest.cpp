#include "engine/items/EraseItemList.h"
#include "framework/Utf8.h"
#include "settings/ProgramContext.h"
#include "tests/engine/HeardFromCleaner.h"
#include "tests/plugins/ShippedFolder.h"
#include "tests/support/PlacesForTest.h"
#include "tests/support/Processes.h"
#include "tests/support/Sandbox.h"

#include <windows.h>
#include <shlobj.h>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>

// Every item of a browser, run on profiles that Debian's chromium and firefox-esr wrote themselves
// (tests/data/profiles): afterwards no file left in the profile names a page that was visited or holds
// what was typed into its form, and what the user keeps is as it was, byte for byte.

namespace {

// The words of the visited pages' addresses and the text typed into their form.
const char* const kVisited[] = {"quokkameadow", "wombatharbour", "pangolinridge", "marmaladeowl"};

std::string ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return ToUtf8(path);
}

std::string Bytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The files below the folder that hold one of the words, relative to it.
std::set<std::string> FilesNamingAVisitedPage(const std::string& folder)
{
    std::set<std::string> naming;
    const std::filesystem::path root(ToWide(folder));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        const std::string bytes = Bytes(entry.path());
        for (const char* word : kVisited) {
            if (bytes.find(word) != std::string::npos)
                naming.insert(ToUtf8(entry.path().lexically_relative(root).wstring()));
        }
    }
    return naming;
}

std::string Listed(const std::set<std::string>& files)
{
    std::string text;
    for (const std::string& file : files)
        text += "\n    " + file;
    return text.empty() ? " (none)" : text;
}

class AllSelected : public ItemSelection {
public:
    bool IsSelected(const std::string&) const override { return true; }
};

class RealProfiles : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        local_ = ShellFolder(CSIDL_LOCAL_APPDATA);
        roaming_ = ShellFolder(CSIDL_APPDATA);
        list_ = std::make_unique<EraseItemList>(ShippedPluginFolder(), 10, AllSelected());
    }
    // The copies go, and so do the folders made for them that are empty then.
    void TearDown() override
    {
        for (const std::string& folder : copied_) {
            RemoveTreeForTest(folder);
            for (std::string parent = folder.substr(0, folder.rfind('\\'));
                 parent.size() > local_.size() && RemoveDirectoryW(ToExtendedPath(parent).c_str());
                 parent = parent.substr(0, parent.rfind('\\'))) {
            }
        }
        SandboxTest::TearDown();
    }

    // The unpacked profile, copied where the browser keeps it on Windows, into a folder that must not be
    // there before.
    void Copy(const std::string& profile, const std::string& to)
    {
        ASSERT_FALSE(std::filesystem::exists(ToWide(to))) << to << " is left from elsewhere";
        copied_.push_back(to);
        std::filesystem::create_directories(ToWide(to));
        std::filesystem::copy(ToWide(TestProgramFolder() + "data\\profiles\\" + profile), ToWide(to),
                              std::filesystem::copy_options::recursive);
    }

    void EraseEveryItemOf(const std::string& group)
    {
        int run = 0;
        for (EraseItem& item : list_->Items()) {
            if (item.group != group)
                continue;
            SCOPED_TRACE(item.id);
            EraseOptions options;
            options.listener = &heard_;
            EXPECT_TRUE(item.ExecuteItem(ProgramEraseContext(), options));
            EXPECT_TRUE(item.skipped.empty()) << item.skipped;
            ++run;
        }
        EXPECT_GE(run, 6);
        EXPECT_TRUE(heard_.failures.empty()) << heard_.failures[0];
    }

    std::map<std::string, std::string> Kept(const std::string& folder,
                                            std::initializer_list<const char*> names)
    {
        std::map<std::string, std::string> kept;
        for (const char* name : names) {
            kept[name] = Bytes(ToWide(folder + "\\" + name));
            EXPECT_FALSE(kept[name].empty()) << name;
        }
        return kept;
    }
    void ExpectUnchanged(const std::string& folder, const std::map<std::string, std::string>& kept)
    {
        for (const auto& [name, bytes] : kept)
            EXPECT_TRUE(Bytes(ToWide(folder + "\\" + name)) == bytes) << name << " changed";
    }

    std::string local_;
    std::string roaming_;
    std::unique_ptr<EraseItemList> list_;
    HeardFromCleaner heard_;
    std::vector<std::string> copied_;
};

// A saved address, as the settings page stores it: the form data item must leave it.
bool SaveAddress(const std::string& webData)
{
    sqlite3* db = nullptr;
    bool saved =
        sqlite3_open(webData.c_str(), &db) == SQLITE_OK &&
        sqlite3_exec(db,
                     "INSERT INTO addresses (guid, use_count, use_date, date_modified, label) VALUES "
                     "('0a1b2c3d-0000-4000-8000-123456789abc', 1, 13441384000, 13441384000, 'Home');"
                     "INSERT INTO address_type_tokens (guid, type, value) VALUES "
                     "('0a1b2c3d-0000-4000-8000-123456789abc', 77, '1 Harbour Street')",
                     nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return saved;
}

TEST_F(RealProfiles, AfterEveryChromiumItemNoFileNamesAVisitedPage)
{
    const std::string userData = local_ + "\\Chromium\\User Data";
    ASSERT_NO_FATAL_FAILURE(Copy("chromium-profile", userData));
    const std::string webData = userData + "\\Default\\Web Data";
    ASSERT_TRUE(SaveAddress(webData));
    const int64_t engines = RowsForTest(webData, "keywords");
    ASSERT_GT(engines, 0);
    const std::set<std::string> before = FilesNamingAVisitedPage(userData);
    EXPECT_TRUE(before.count("Default\\Web Data") && before.count("segmentation_platform\\ukm_db") &&
                before.count("Default\\History"))
        << "named a visited page before:" << Listed(before);
    const auto kept = Kept(userData, {"Local State", "Default\\Preferences", "Default\\Secure Preferences",
                                      "Default\\Login Data", "Default\\Account Web Data"});

    EraseEveryItemOf("Chromium");

    EXPECT_TRUE(FilesNamingAVisitedPage(userData).empty())
        << "still named a visited page:" << Listed(FilesNamingAVisitedPage(userData))
        << "\nbefore:" << Listed(before);
    ExpectUnchanged(userData, kept);
    EXPECT_TRUE(Bytes(ToWide(webData + "-journal")).empty()) << "the journal holds what went";
    // The typed entries went from Web Data; saved addresses and search engines stay.
    EXPECT_EQ(RowsForTest(webData, "autofill"), 0);
    EXPECT_EQ(RowsForTest(webData, "addresses"), 1);
    EXPECT_EQ(RowsForTest(webData, "address_type_tokens", "value = '1 Harbour Street'"), 1);
    EXPECT_EQ(RowsForTest(webData, "keywords"), engines);
}

TEST_F(RealProfiles, AfterEveryFirefoxItemNoFileNamesAVisitedPage)
{
    const std::string profiles = "\\Mozilla\\Firefox\\Profiles\\vx3k9q2w.default-release";
    const std::string profile = roaming_ + profiles;
    const std::string local = local_ + profiles;
    ASSERT_NO_FATAL_FAILURE(Copy("firefox-profile", profile));
    ASSERT_NO_FATAL_FAILURE(Copy("firefox-local", local));
    const std::string places = profile + "\\places.sqlite";
    const int64_t bookmarks = RowsForTest(places, "moz_bookmarks");
    ASSERT_GT(bookmarks, 0);
    const std::set<std::string> before = FilesNamingAVisitedPage(profile);
    EXPECT_TRUE(before.count("places.sqlite") && before.count("favicons.sqlite") &&
                before.count("sessionstore.jsonlz4"))
        << "named a visited page before:" << Listed(before);
    EXPECT_FALSE(FilesNamingAVisitedPage(local).empty());
    const auto kept = Kept(profile, {"prefs.js", "logins.db", "key4.db", "cert9.db", "permissions.sqlite"});

    EraseEveryItemOf("Firefox");

    EXPECT_TRUE(FilesNamingAVisitedPage(profile).empty())
        << "still named a visited page:" << Listed(FilesNamingAVisitedPage(profile))
        << "\nbefore:" << Listed(before);
    EXPECT_TRUE(!std::filesystem::exists(ToWide(local)) || FilesNamingAVisitedPage(local).empty());
    ExpectUnchanged(profile, kept);
    EXPECT_EQ(RowsForTest(places, "moz_bookmarks"), bookmarks);
}

} // namespace

#include "engine/cleaners/PlacesHistoryCleaner.h"
#include "framework/Utf8.h"
#include "tests/engine/FolderLinkForTest.h"
#include "tests/engine/HeardFromCleaner.h"
#include "tests/support/PlacesForTest.h"
#include "tests/support/Sandbox.h"

#include <windows.h>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

class PlacesHistoryCleaner : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        places_ = PathOf("places.sqlite");
        ASSERT_TRUE(MakePlacesForTest(places_));
        ASSERT_TRUE(MakeFaviconsForTest(PathOf("favicons.sqlite")));
    }

    int64_t Rows(const std::string& table, const std::string& where = "1") const
    {
        return RowsForTest(places_, table, where);
    }

    void Clear(EraseMode mode)
    {
        EraseOptions options;
        options.mode = mode;
        options.listener = &heard_;
        ClearPlacesHistory(places_, options);
    }

    std::string places_;
    HeardFromCleaner heard_;
};

TEST_F(PlacesHistoryCleaner, PreviewCountsAndChangesNothing)
{
    Clear(EraseMode::Preview);
    EXPECT_TRUE(heard_.failures.empty());
    ASSERT_EQ(heard_.said.size(), 1u);
    EXPECT_NE(heard_.said[0].find("3 visits and 1 pages would go"), std::string::npos) << heard_.said[0];
    EXPECT_EQ(Rows("moz_historyvisits"), 3);
    EXPECT_EQ(Rows("moz_places"), 3);
    EXPECT_EQ(Rows("moz_inputhistory"), 1);
}

// The history goes; bookmarks, keywords and what hangs on them stay, and the kept pages no longer tell
// when or how often they were visited.
TEST_F(PlacesHistoryCleaner, EraseKeepsBookmarksAndClearsTheRest)
{
    Clear(EraseMode::Erase);
    EXPECT_TRUE(heard_.failures.empty()) << heard_.failures[0];
    EXPECT_TRUE(Exists("places.sqlite"));
    EXPECT_EQ(Rows("moz_historyvisits"), 0);
    EXPECT_EQ(Rows("moz_inputhistory"), 0);
    EXPECT_EQ(Rows("moz_places"), 2);
    EXPECT_EQ(Rows("moz_places", "url LIKE '%private%'"), 0);
    EXPECT_EQ(Rows("moz_places", "visit_count > 0 OR last_visit_date IS NOT NULL OR typed > 0"), 0);
    EXPECT_EQ(Rows("moz_bookmarks"), 3);
    EXPECT_EQ(Rows("moz_keywords"), 1);
    EXPECT_EQ(Rows("moz_annos"), 1);
    EXPECT_EQ(Rows("moz_items_annos"), 1);
    EXPECT_EQ(Rows("moz_origins"), 2);
    EXPECT_EQ(Rows("moz_origins", "host = 'private.example'"), 0);
    // The write-ahead log was checkpointed into the file and emptied.
    EXPECT_FALSE(Exists("places.sqlite-wal") && !ReadFile("places.sqlite-wal").empty());
    // The icons store no longer names the page that left the history; the site's own icon stays.
    const std::string favicons = PathOf("favicons.sqlite");
    EXPECT_EQ(RowsForTest(favicons, "moz_pages_w_icons"), 1);
    EXPECT_EQ(RowsForTest(favicons, "moz_pages_w_icons", "page_url LIKE '%secret%'"), 0);
    EXPECT_EQ(RowsForTest(favicons, "moz_icons_to_pages"), 1);
    EXPECT_EQ(RowsForTest(favicons, "moz_icons", "id IN (1, 3)"), 2);
    EXPECT_EQ(RowsForTest(favicons, "moz_icons"), 2);
}

// A running browser holds its database; the run must neither wait long nor count it.
TEST_F(PlacesHistoryCleaner, ALockedDatabaseIsAFailureAndStaysAsItWas)
{
    sqlite3* browser = nullptr;
    ASSERT_EQ(sqlite3_open(places_.c_str(), &browser), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(browser, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr),
        SQLITE_OK);
    Clear(EraseMode::Erase);
    sqlite3_exec(browser, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(browser);
    ASSERT_EQ(heard_.failures.size(), 1u);
    EXPECT_NE(heard_.failures[0].find("in use"), std::string::npos) << heard_.failures[0];
    EXPECT_TRUE(heard_.said.empty());
    EXPECT_EQ(Rows("moz_historyvisits"), 3);
}

TEST_F(PlacesHistoryCleaner, OtherFilesAreLeftAlone)
{
    WriteFile("notes.sqlite", "not a database at all, just text");
    ClearPlacesHistory(PathOf("notes.sqlite"), {EraseMode::Erase, &heard_});
    ClearPlacesHistory(PathOf("missing.sqlite"), {EraseMode::Erase, &heard_});
    EXPECT_EQ(ReadFile("notes.sqlite"), "not a database at all, just text");
    EXPECT_FALSE(Exists("missing.sqlite"));
    EXPECT_EQ(heard_.failures.size(), 1u); // the text file; a missing file is no failure

    // An older schema without origins, keywords or input history still works.
    std::string older = PathOf("older.sqlite");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(older.c_str(), &db), SQLITE_OK);
    sqlite3_exec(
        db,
        "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT, visit_count INTEGER, typed INTEGER, "
        "frecency INTEGER, last_visit_date INTEGER);"
        "CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, place_id INTEGER);"
        "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, fk INTEGER);"
        "INSERT INTO moz_places VALUES (1, 'https://a.example/', 1, 0, 100, 1), "
        "(2, 'https://b.example/', 1, 0, 100, 1);"
        "INSERT INTO moz_historyvisits VALUES (1, 1), (2, 2); INSERT INTO moz_bookmarks VALUES (1, 2);",
        nullptr, nullptr, nullptr);
    sqlite3_close(db);
    ClearPlacesHistory(older, {EraseMode::Erase, &heard_});
    EXPECT_EQ(RowsForTest(older, "moz_places", "id = 2 AND frecency = -1"), 1);
    EXPECT_EQ(RowsForTest(older, "moz_places"), 1);
    EXPECT_EQ(RowsForTest(older, "moz_historyvisits"), 0);
}

// A profile left by a killed browser: the history is still in the write-ahead log. A preview counts it
// and changes no byte of either file, nor leaves a log index behind; the erase then takes every record of
// the pages it removes, in tables this code has never heard of too.
TEST_F(PlacesHistoryCleaner, CurrentSchemaFromAKilledBrowser)
{
    const std::string killed = PathOf("killed\\places.sqlite");
    MakeFolder("killed");
    ASSERT_TRUE(MakeKilledBrowserPlacesForTest(killed));
    ASSERT_TRUE(Exists("killed\\places.sqlite-wal"));
    ASSERT_FALSE(Exists("killed\\places.sqlite-shm"));
    const std::string file = ReadFile("killed\\places.sqlite");
    const std::string log = ReadFile("killed\\places.sqlite-wal");
    ASSERT_FALSE(log.empty());

    ClearPlacesHistory(killed, {EraseMode::Preview, &heard_});
    ASSERT_EQ(heard_.said.size(), 1u) << (heard_.failures.empty() ? "" : heard_.failures[0]);
    EXPECT_NE(heard_.said[0].find("2 visits and 1 pages would go"), std::string::npos) << heard_.said[0];
    EXPECT_TRUE(ReadFile("killed\\places.sqlite") == file) << "the preview changed the database";
    EXPECT_TRUE(ReadFile("killed\\places.sqlite-wal") == log) << "the preview changed the log";
    EXPECT_FALSE(Exists("killed\\places.sqlite-shm"));

    ClearPlacesHistory(killed, {EraseMode::Erase, &heard_});
    EXPECT_TRUE(heard_.failures.empty()) << heard_.failures[0];
    EXPECT_EQ(RowsForTest(killed, "moz_places"), 1);
    EXPECT_EQ(RowsForTest(killed, "moz_newtab_shortcuts_interaction", "place_id = 2"), 0);
    EXPECT_EQ(RowsForTest(killed, "moz_newtab_shortcuts_interaction", "place_id = 1"), 1);
    EXPECT_EQ(RowsForTest(killed, "moz_bookmarks", "fk = 1"), 1);
}

// Reached through a link, a database nobody named once lost its history; a second name of the file is the
// same data. Nothing behind such a path is touched, and each is reported, never cleared in silence.
TEST_F(PlacesHistoryCleaner, ADatabaseReachedThroughALinkOrWithOtherNamesIsRefusedAndUntouched)
{
    MakeFolder("elsewhere");
    const std::string theirs = PathOf("elsewhere\\places.sqlite");
    const std::string theirIcons = PathOf("elsewhere\\favicons.sqlite");
    ASSERT_TRUE(MakePlacesForTest(theirs));
    ASSERT_TRUE(MakeFaviconsForTest(theirIcons));
    ASSERT_TRUE(MakeFolderLinkForTest(PathOf("profile"), PathOf("elsewhere")));
    ClearPlacesHistory(PathOf("profile\\places.sqlite"), {EraseMode::Erase, &heard_});
    RemoveFolderLinkForTest(PathOf("profile"));
    MakeFolder("profile");
    ASSERT_TRUE(MakeFileLinkForTest(PathOf("profile\\places.sqlite"), theirs));
    ClearPlacesHistory(PathOf("profile\\places.sqlite"), {EraseMode::Erase, &heard_});
    RemoveFileLinkForTest(PathOf("profile\\places.sqlite"));
    EXPECT_EQ(RowsForTest(theirs, "moz_historyvisits"), 3);
    EXPECT_EQ(RowsForTest(theirIcons, "moz_pages_w_icons"), 2);

    ASSERT_TRUE(CreateHardLinkW(ToExtendedPath(PathOf("second name.sqlite")).c_str(),
                                ToExtendedPath(places_).c_str(), nullptr));
    Clear(EraseMode::Erase);
    EXPECT_EQ(Rows("moz_historyvisits"), 3);
    ASSERT_EQ(heard_.failures.size(), 3u);
    for (const std::string& failure : heard_.failures)
        EXPECT_NE(failure.find("link"), std::string::npos) << failure;
    EXPECT_NE(heard_.failures[2].find("other names"), std::string::npos) << heard_.failures[2];
    EXPECT_TRUE(heard_.said.empty()) << "nothing is told as done";

    // The icons store beside a database that may be cleared is checked on its own.
    ASSERT_TRUE(DeleteFileW(ToExtendedPath(PathOf("second name.sqlite")).c_str()));
    ASSERT_TRUE(CreateHardLinkW(ToExtendedPath(PathOf("icons again.sqlite")).c_str(),
                                ToExtendedPath(PathOf("favicons.sqlite")).c_str(), nullptr));
    heard_.failures.clear();
    Clear(EraseMode::Erase);
    EXPECT_EQ(Rows("moz_historyvisits"), 0);
    EXPECT_EQ(RowsForTest(PathOf("favicons.sqlite"), "moz_pages_w_icons"), 2);
    ASSERT_EQ(heard_.failures.size(), 1u);
    EXPECT_EQ(heard_.failures[0].rfind(PathOf("favicons.sqlite") + ": ", 0), 0u) << heard_.failures[0];
}

} // namespace

#include "cli/RunReport.h"
#include "engine/cleaners/KeptSites.h"
#include "engine/CommandExecutor.h"
#include "tests/support/PlacesForTest.h"
#include "tests/support/Sandbox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(KeptSites, WhatTheUserTypesBecomesAHostOrIsRefused)
{
    EXPECT_EQ(NormalisedSiteHost("https://WWW.Example.com:443/login?next=/"), "www.example.com");
    EXPECT_EQ(NormalisedSiteHost("  .example.com. "), "example.com");
    EXPECT_EQ(NormalisedSiteHost("user@mail.example.org"), "mail.example.org");
    EXPECT_EQ(NormalisedSiteHost("*.example.com"), "example.com");
    EXPECT_EQ(NormalisedSiteHost("https://B\xC3\xBC"
                                 "cher.de/"),
              "xn--bcher-kva.de");
    for (const char* refused : {"", "   ", "https://", "exa mple.com", "a..b", "-bad.com", "x_y.com",
                                "\xE2\x98\x83 .com", "a\r\nb.com"})
        EXPECT_FALSE(NormalisedSiteHost(refused)) << refused;

    KeptSites sites({"example.com", "Not A Host"});
    EXPECT_EQ(sites.Hosts(), std::vector<std::string>{"example.com"});
    for (const char* kept : {"example.com", ".example.com", "www.Example.com", "a.b.example.com"})
        EXPECT_TRUE(sites.SiteOf(kept)) << kept;
    for (const char* other : {"badexample.com", "example.com.evil.net", "com", ""})
        EXPECT_FALSE(sites.SiteOf(other)) << other;
}

TEST(KeptSites, OriginFoldersOfBothFamiliesNameTheirHost)
{
    EXPECT_EQ(HostOfOriginFolder("https_www.example.com_0.indexeddb.leveldb"), "www.example.com");
    EXPECT_EQ(HostOfOriginFolder("https_example.com_0.indexeddb.blob"), "example.com");
    EXPECT_EQ(HostOfOriginFolder("http_example.com_8080"), "example.com");
    EXPECT_EQ(HostOfOriginFolder("https+++www.example.com"), "www.example.com");
    EXPECT_EQ(HostOfOriginFolder("https+++example.com^userContextId=1"), "example.com");
    EXPECT_EQ(HostOfOriginFolder("http+++example.com+8080"), "example.com");
    for (const char* none : {"chrome-extension_abcdefgh_0.indexeddb.leveldb", "moz-extension+++0123-4567",
                             "file++++C++Users", "leveldb", "Origins", "000"})
        EXPECT_EQ(HostOfOriginFolder(none), "") << none;
}

// A profile with the sites to keep; example.com is kept.
class SitesToKeep : public SandboxTest {
protected:
    CommandExecutor Executor(ItemRecorder& recorder, EraseMode mode,
                             std::vector<std::string> sites = {"example.com"}, std::string problem = "")
    {
        EraseContext context{PathOf("plug ins\\"), ProtectedFolders({})};
        context.keptSites = KeptSites(sites);
        context.keptSitesProblem = std::move(problem);
        return CommandExecutor(std::move(context), {}, EraseOptions{mode, &recorder});
    }

    // Runs the item in preview, then as an erase; the erase's report.
    ItemReport PreviewThenErase(EraseItem& item, ItemReport& preview,
                                std::vector<std::string> sites = {"example.com"})
    {
        ItemRecorder previewer(preview);
        Executor(previewer, EraseMode::Preview, sites).Execute(item);
        preview.tally = item.tally;
        ItemReport erased;
        ItemRecorder eraser(erased);
        Executor(eraser, EraseMode::Erase, sites).Execute(item);
        erased.tally = item.tally;
        return erased;
    }

    static EraseItem Item(const std::string& command, std::vector<std::string> parameters)
    {
        EraseItem item;
        item.command = command;
        item.parameters = std::move(parameters);
        item.loaded = true;
        return item;
    }
};

TEST_F(SitesToKeep, ChromiumCookiesOfOtherSitesGoInsideTheDatabase)
{
    MakeFolder("Default\\Network");
    ASSERT_TRUE(MakeChromiumCookiesForTest(PathOf("Default\\Network\\Cookies")));
    EraseItem item = Item("delete-cookies", {PathOf("*\\Network\\Cookies")});
    ItemReport preview;
    ItemReport erased = PreviewThenErase(item, preview);

    EXPECT_EQ(preview.tally.cookiesErased, 3u);
    EXPECT_EQ(erased.tally.cookiesErased, 3u);
    EXPECT_EQ(erased.tally.filesErased, 0u);
    EXPECT_TRUE(erased.failures.empty()) << erased.failures[0].path << ": " << erased.failures[0].reason;
    ASSERT_EQ(erased.cookieDatabases.size(), 1u);
    EXPECT_EQ(erased.cookieDatabases[0].path, PathOf("Default\\Network\\Cookies"));
    const std::string cookies = PathOf("Default\\Network\\Cookies");
    EXPECT_EQ(RowsForTest(cookies, "cookies"), 3);
    EXPECT_EQ(
        RowsForTest(cookies, "cookies", "host_key IN ('.example.com', 'example.com', 'www.example.com')"), 3);
    EXPECT_EQ(RowsForTest(cookies, "meta"), 3);
}

TEST_F(SitesToKeep, FirefoxCookiesOfOtherSitesGoAndThePreviewChangesNothing)
{
    MakeFolder("Profiles\\abcd.default-release");
    const std::string cookies = PathOf("Profiles\\abcd.default-release\\cookies.sqlite");
    ASSERT_TRUE(MakeFirefoxCookiesForTest(cookies));
    EraseItem item = Item("delete-cookies", {PathOf("Profiles\\*\\cookies.sqlite")});

    ItemReport preview;
    ItemRecorder previewer(preview);
    Executor(previewer, EraseMode::Preview).Execute(item);
    EXPECT_EQ(item.tally.cookiesErased, 2u);
    EXPECT_EQ(RowsForTest(cookies, "moz_cookies"), 4);

    ItemReport erased;
    ItemRecorder eraser(erased);
    Executor(eraser, EraseMode::Erase).Execute(item);
    EXPECT_EQ(item.tally.cookiesErased, 2u);
    EXPECT_TRUE(erased.failures.empty());
    EXPECT_EQ(RowsForTest(cookies, "moz_cookies"), 2);
    EXPECT_EQ(RowsForTest(cookies, "moz_cookies", "host LIKE '%example.com' AND host <> 'notexample.com'"),
              2);
}

// With no site to keep, the database and its journal go as the file item took them before.
TEST_F(SitesToKeep, WithoutSitesTheCookieDatabaseGoesWhole)
{
    MakeFolder("Default\\Network");
    ASSERT_TRUE(MakeChromiumCookiesForTest(PathOf("Default\\Network\\Cookies")));
    WriteFile("Default\\Network\\Cookies-journal", "j");
    EraseItem item = Item("delete-cookies", {PathOf("Default\\Network\\Cookies")});
    ItemReport preview;
    ItemReport erased = PreviewThenErase(item, preview, {});
    EXPECT_EQ(preview.tally.filesErased, 2u);
    EXPECT_EQ(erased.tally.filesErased, 2u);
    EXPECT_EQ(erased.tally.cookiesErased, 0u);
    EXPECT_FALSE(Exists("Default\\Network\\Cookies"));
    EXPECT_FALSE(Exists("Default\\Network\\Cookies-journal"));
}

// Whatever item empties a profile's site stores, the kept site's own folders stay with all they hold,
// a store of every site stays whole while it holds the kept site's data, and the preview counts the same.
TEST_F(SitesToKeep, SiteFoldersOfKeptSitesStayInAnyWalk)
{
    WriteFile("Default\\IndexedDB\\https_www.example.com_0.indexeddb.leveldb\\000003.log", "kept");
    WriteFile("Default\\IndexedDB\\https_example.com_0.indexeddb.blob\\1\\00\\1", "kept");
    WriteFile("Default\\IndexedDB\\https_badexample.com_0.indexeddb.leveldb\\000003.log", "goes");
    WriteFile("Default\\Local Storage\\leveldb\\000005.ldb",
              std::string("META:https://www.example.com\0\x08\x01", 33) + "_https://tracker.net");
    WriteFile("Default\\Session Storage\\000004.log", "namespace-1234-https://tracker.net/");
    WriteFile("Profiles\\a.default\\storage\\default\\https+++example.com^userContextId=1\\ls\\data.sqlite",
              "kept");
    WriteFile("Profiles\\a.default\\storage\\default\\https+++tracker.net\\idb\\1.sqlite", "goes");
    EraseItem item = Item("delete-directory",
                          {PathOf("Default\\IndexedDB"), PathOf("Default\\Local Storage"),
                           PathOf("Default\\Session Storage"), PathOf("Profiles\\*\\storage\\default")});
    ItemReport preview;
    ItemReport erased = PreviewThenErase(item, preview);

    EXPECT_EQ(preview.tally.filesErased, 3u);
    EXPECT_EQ(erased.tally.filesErased, 3u);
    EXPECT_TRUE(Exists("Default\\IndexedDB\\https_www.example.com_0.indexeddb.leveldb\\000003.log"));
    EXPECT_TRUE(Exists("Default\\IndexedDB\\https_example.com_0.indexeddb.blob\\1\\00\\1"));
    EXPECT_FALSE(Exists("Default\\IndexedDB\\https_badexample.com_0.indexeddb.leveldb"));
    EXPECT_TRUE(Exists("Default\\Local Storage\\leveldb\\000005.ldb"));
    EXPECT_FALSE(Exists("Default\\Session Storage\\000004.log"));
    EXPECT_TRUE(Exists(
        "Profiles\\a.default\\storage\\default\\https+++example.com^userContextId=1\\ls\\data.sqlite"));
    EXPECT_FALSE(Exists("Profiles\\a.default\\storage\\default\\https+++tracker.net"));
    ASSERT_EQ(preview.keptForSites.size(), 4u);
    EXPECT_EQ(erased.keptForSites.size(), 4u);
    EXPECT_EQ(preview.keptForSites[2].folder, PathOf("Default\\Local Storage"));
    EXPECT_EQ(preview.keptForSites[2].site, "example.com");
}

// An unreadable list is no empty one: every item that clears cookies or reaches a store that sites to keep
// decide about does nothing and says why; an item that reaches no site's data runs as ever.
TEST_F(SitesToKeep, AnUnreadableListStopsEveryItemThatHonoursIt)
{
    const std::string problem = "the sites to keep cannot be read: Keep Sites is REG_DWORD";
    MakeFolder("Default\\Network");
    ASSERT_TRUE(MakeChromiumCookiesForTest(PathOf("Default\\Network\\Cookies")));
    WriteFile("Default\\Local Storage\\leveldb\\000005.ldb", "_https://tracker.net\x00\x01k");
    WriteFile("Default\\IndexedDB\\https_tracker.net_0.indexeddb.leveldb\\000003.log", "x");
    WriteFile("Default\\Cache\\data_1", "cache");
    EraseItem cookies = Item("delete-cookies", {PathOf("Default\\Network\\Cookies")});
    EraseItem siteData =
        Item("delete-directory", {PathOf("Default\\Local Storage"), PathOf("Default\\IndexedDB")});
    EraseItem cache = Item("delete-directory", {PathOf("Default\\Cache")});
    for (EraseItem* item : {&cookies, &siteData}) {
        for (EraseMode mode : {EraseMode::Preview, EraseMode::Erase}) {
            ItemReport report;
            ItemRecorder recorder(report);
            Executor(recorder, mode, {}, problem).Execute(*item);
            EXPECT_EQ(item->skipped, "skipped: " + problem);
            ASSERT_EQ(report.failures.size(), 1u);
            EXPECT_EQ(report.failures[0].reason, problem);
            EXPECT_EQ(item->tally.filesErased + item->tally.cookiesErased, 0u);
        }
    }
    EXPECT_EQ(RowsForTest(PathOf("Default\\Network\\Cookies"), "cookies"), 6);
    EXPECT_TRUE(Exists("Default\\Local Storage\\leveldb\\000005.ldb"));
    EXPECT_TRUE(Exists("Default\\IndexedDB\\https_tracker.net_0.indexeddb.leveldb\\000003.log"));
    ItemReport report;
    ItemRecorder recorder(report);
    Executor(recorder, EraseMode::Erase, {}, problem).Execute(cache);
    EXPECT_TRUE(cache.skipped.empty());
    EXPECT_FALSE(Exists("Default\\Cache\\data_1"));
}

// A browser killed before its first checkpoint leaves every cookie in the log and an empty file, which
// SQLite would take for an empty database and delete the log of; that, and a file that is no database,
// stay as they are and are reported, in a preview as in an erase.
TEST_F(SitesToKeep, ADatabaseHeldInItsLogOrNoDatabaseStaysUntouched)
{
    MakeFolder("Default\\Network");
    MakeFolder("Profile 1\\Network");
    const std::string cookies = PathOf("Default\\Network\\Cookies");
    ASSERT_TRUE(MakeLogOnlyChromiumCookiesForTest(cookies));
    const std::string log = ReadFile("Default\\Network\\Cookies-wal");
    ASSERT_GT(log.size(), 4096u);
    WriteFile("Profile 1\\Network\\Cookies", std::string(4096, 'x'));
    EraseItem item = Item("delete-cookies", {PathOf("*\\Network\\Cookies")});
    for (EraseMode mode : {EraseMode::Preview, EraseMode::Erase}) {
        ItemReport report;
        ItemRecorder recorder(report);
        Executor(recorder, mode).Execute(item);
        EXPECT_EQ(item.tally.cookiesErased, 0u);
        ASSERT_EQ(report.failures.size(), 2u);
        EXPECT_NE(report.failures[0].reason.find("write-ahead log"), std::string::npos)
            << report.failures[0].reason;
        EXPECT_NE(report.failures[1].reason.find("not an SQLite database"), std::string::npos);
    }
    EXPECT_EQ(ReadFile("Default\\Network\\Cookies"), "");
    EXPECT_EQ(ReadFile("Default\\Network\\Cookies-wal"), log);
    EXPECT_EQ(ReadFile("Profile 1\\Network\\Cookies"), std::string(4096, 'x'));
}

// Firefox's old local storage holds every site's keys in one database: it stays whole while one of them is
// a kept site's, with its log, and goes otherwise.
TEST_F(SitesToKeep, FirefoxOldLocalStorageStaysWhileItHoldsAKeptSite)
{
    MakeFolder("Profiles\\a.default");
    MakeFolder("Profiles\\b.default");
    ASSERT_TRUE(MakeWebStorageForTest(PathOf("Profiles\\a.default\\webappsstore.sqlite"),
                                      {"ten.rekcart.:https:443", "moc.elpmaxe.www.:https:443"}));
    WriteFile("Profiles\\a.default\\webappsstore.sqlite-wal", "");
    ASSERT_TRUE(MakeWebStorageForTest(PathOf("Profiles\\b.default\\webappsstore.sqlite"),
                                      {"ten.rekcart.:https:443", "moc.elpmaxeton.:https:443"}));
    EraseItem item = Item("delete-file", {PathOf("Profiles\\*\\webappsstore.sqlite*")});
    item.parameterOptions.resize(1);
    item.parameterOptions[0].recurse = Recurse::None;
    ItemReport preview;
    ItemReport erased = PreviewThenErase(item, preview);
    EXPECT_EQ(preview.tally.filesErased, 1u);
    EXPECT_GE(erased.tally.filesErased, 1u); // with what reading it in WAL mode put beside it
    EXPECT_TRUE(Exists("Profiles\\a.default\\webappsstore.sqlite"));
    EXPECT_TRUE(Exists("Profiles\\a.default\\webappsstore.sqlite-wal"));
    EXPECT_FALSE(Exists("Profiles\\b.default\\webappsstore.sqlite"));
    EXPECT_FALSE(Exists("Profiles\\b.default\\webappsstore.sqlite-wal"));
    ASSERT_EQ(erased.keptForSites.size(), 1u);
    EXPECT_EQ(erased.keptForSites[0].folder, PathOf("Profiles\\a.default\\webappsstore.sqlite"));
    EXPECT_EQ(erased.keptForSites[0].site, "example.com");
}

// An organization's ten thousand sites cost one pass over each store: the cookie database is cleaned in
// one statement, and a store of every site is read once, not once a site.
TEST_F(SitesToKeep, TenThousandKeptSitesAreMatchedInOnePass)
{
    std::vector<std::string> sites;
    for (int i = 0; i < 10000; ++i)
        sites.push_back("site" + std::to_string(i) + ".example.net");
    sites.push_back("example.com");
    MakeFolder("Default\\Network");
    ASSERT_TRUE(MakeChromiumCookiesForTest(PathOf("Default\\Network\\Cookies")));
    std::string origins;
    while (origins.size() < (1u << 20))
        origins += "_https://www.tracker" + std::to_string(origins.size()) + ".net\x01key";
    WriteFile("Default\\Local Storage\\leveldb\\000005.ldb", origins + "_https://www.example.com");
    WriteFile("Profile 1\\Local Storage\\leveldb\\000005.ldb", origins);
    EraseItem item = Item("delete-cookies", {PathOf("Default\\Network\\Cookies")});
    ItemReport cookiesPreview;
    ItemReport cookies = PreviewThenErase(item, cookiesPreview, sites);
    EXPECT_TRUE(cookies.failures.empty()) << cookies.failures[0].reason;
    EXPECT_EQ(item.tally.cookiesErased, 3u);
    EraseItem stores = Item("delete-directory", {PathOf("*\\Local Storage")});
    ItemReport preview;
    ItemReport erased = PreviewThenErase(stores, preview, sites);
    EXPECT_TRUE(Exists("Default\\Local Storage\\leveldb\\000005.ldb"));
    EXPECT_FALSE(Exists("Profile 1\\Local Storage\\leveldb\\000005.ldb"));
}

} // namespace

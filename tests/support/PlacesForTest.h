#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A places.sqlite as a Firefox-family browser leaves it, reduced to the tables history and bookmarks use:
// page 1 is bookmarked and visited, page 2 only visited, page 3 reached through a keyword, with an origin
// each, typed input and annotations. Written in WAL mode, as the browsers do.
bool MakePlacesForTest(const std::string& path);

// The favicons.sqlite beside it: an icon for the bookmarked page and one for the page only visited, and the
// private site's own icon (a root icon, shared by its pages).
bool MakeFaviconsForTest(const std::string& path);

// A places.sqlite with the schema current Firefox writes, left as a killed browser leaves it: the rows are
// still in the write-ahead log (places.sqlite-wal), and there is no -shm file. Page 1 is bookmarked, page 2
// only visited; both have new-tab shortcut interactions.
bool MakeKilledBrowserPlacesForTest(const std::string& path);

// A Chromium-family Cookies database with the schema Chromium 156 writes (version 24): cookies of
// example.com (".example.com", "example.com", "www.example.com") and of three other sites
// (".badexample.com", ".tracker.net", "shop.other.org").
bool MakeChromiumCookiesForTest(const std::string& path);

// A Firefox-family cookies.sqlite with the schema Firefox 153 ESR writes (version 17), in WAL mode: cookies
// of example.com (".example.com", "accounts.example.com") and of two other sites (".tracker.net",
// "notexample.com").
bool MakeFirefoxCookiesForTest(const std::string& path);

// The same Chromium Cookies left as a browser killed before its first checkpoint leaves it: every page,
// the first included, lies in Cookies-wal, written by SQLite itself, and Cookies is 0 bytes long.
bool MakeLogOnlyChromiumCookiesForTest(const std::string& path);

// A Firefox-family webappsstore.sqlite (the old local storage) in WAL mode, with one key for each origin
// given as Firefox writes it ("moc.elpmaxe.www.:https:443").
bool MakeWebStorageForTest(const std::string& path, const std::vector<std::string>& originKeys);

// Rows of a table, or -1 when the file cannot be read as a database.
int64_t RowsForTest(const std::string& path, const std::string& table, const std::string& where = "1");

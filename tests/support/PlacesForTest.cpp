#include "tests/support/PlacesForTest.h"

#include <sqlite3.h>

namespace {

const char* const kPlaces = R"(
PRAGMA journal_mode = WAL;
CREATE TABLE moz_origins (id INTEGER PRIMARY KEY, prefix TEXT NOT NULL, host TEXT NOT NULL,
    frecency INTEGER NOT NULL, recalc_frecency INTEGER NOT NULL DEFAULT 0, UNIQUE (prefix, host));
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, rev_host LONGVARCHAR,
    visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, typed INTEGER DEFAULT 0 NOT NULL,
    frecency INTEGER DEFAULT -1 NOT NULL, last_visit_date INTEGER, guid TEXT,
    foreign_count INTEGER DEFAULT 0 NOT NULL, url_hash INTEGER DEFAULT 0 NOT NULL, origin_id INTEGER,
    recalc_frecency INTEGER NOT NULL DEFAULT 0);
CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, from_visit INTEGER, place_id INTEGER,
    visit_date INTEGER, visit_type INTEGER, session INTEGER);
CREATE TABLE moz_inputhistory (place_id INTEGER NOT NULL, input LONGVARCHAR NOT NULL,
    use_count INTEGER, PRIMARY KEY (place_id, input));
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL, parent INTEGER,
    position INTEGER, title LONGVARCHAR, guid TEXT);
CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY AUTOINCREMENT, keyword TEXT UNIQUE, place_id INTEGER);
CREATE TABLE moz_annos (id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL, anno_attribute_id INTEGER,
    content LONGVARCHAR);
CREATE TABLE moz_items_annos (id INTEGER PRIMARY KEY, item_id INTEGER NOT NULL, content LONGVARCHAR);
INSERT INTO moz_origins VALUES (1, 'https://', 'news.example', 900, 0), (2, 'https://', 'private.example', 500, 0),
    (3, 'https://', 'search.example', 10, 0);
INSERT INTO moz_places (id, url, title, visit_count, typed, frecency, last_visit_date, foreign_count, origin_id)
    VALUES (1, 'https://news.example/', 'News', 2, 1, 900, 1765000000000000, 1, 1),
           (2, 'https://private.example/secret', 'Secret', 5, 1, 500, 1765100000000000, 0, 2),
           (3, 'https://search.example/?q=%s', 'Search', 0, 0, 10, NULL, 1, 3);
INSERT INTO moz_historyvisits VALUES (1, 0, 1, 1765000000000000, 1, 0), (2, 0, 1, 1765000001000000, 1, 0),
    (3, 0, 2, 1765100000000000, 2, 0);
INSERT INTO moz_inputhistory VALUES (2, 'sec', 3);
INSERT INTO moz_bookmarks VALUES (1, 2, NULL, 0, 0, 'root', 'root________'),
    (2, 2, NULL, 1, 0, 'toolbar', 'toolbar_____'), (3, 1, 1, 2, 0, 'News', 'bookmark1___');
INSERT INTO moz_keywords (keyword, place_id) VALUES ('s', 3);
INSERT INTO moz_annos VALUES (1, 2, 1, 'file:///C:/Users/someone/Downloads/secret.pdf'),
    (2, 1, 2, 'kept with its bookmark');
INSERT INTO moz_items_annos VALUES (1, 3, 'bookmark description');
)";

const char* const kFavicons = R"(
PRAGMA journal_mode = WAL;
CREATE TABLE moz_icons (id INTEGER PRIMARY KEY, icon_url TEXT NOT NULL, fixed_icon_url_hash INTEGER NOT NULL,
    width INTEGER NOT NULL DEFAULT 0, root INTEGER NOT NULL DEFAULT 0, color INTEGER, expire_ms INTEGER NOT NULL
    DEFAULT 0, data BLOB);
CREATE TABLE moz_pages_w_icons (id INTEGER PRIMARY KEY, page_url TEXT NOT NULL, page_url_hash INTEGER NOT NULL);
CREATE TABLE moz_icons_to_pages (page_id INTEGER NOT NULL, icon_id INTEGER NOT NULL, expire_ms INTEGER NOT NULL
    DEFAULT 0, PRIMARY KEY (page_id, icon_id)) WITHOUT ROWID;
INSERT INTO moz_icons (id, icon_url, fixed_icon_url_hash, root) VALUES
    (1, 'https://news.example/icon.png', 1, 0), (2, 'https://private.example/secret.png', 2, 0),
    (3, 'https://private.example/favicon.ico', 3, 1);
INSERT INTO moz_pages_w_icons VALUES (1, 'https://news.example/', 11), (2, 'https://private.example/secret', 12);
INSERT INTO moz_icons_to_pages (page_id, icon_id) VALUES (1, 1), (2, 2);
)";

bool MakeDatabase(const std::string& path, const char* sql)
{
    sqlite3* db = nullptr;
    bool made = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) ==
                    SQLITE_OK &&
                sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return made;
}

} // namespace

bool MakePlacesForTest(const std::string& path)
{
    return MakeDatabase(path, kPlaces);
}

bool MakeFaviconsForTest(const std::string& path)
{
    return MakeDatabase(path, kFavicons);
}

int64_t RowsForTest(const std::string& path, const std::string& table, const std::string& where)
{
    sqlite3* db = nullptr;
    int64_t rows = -1;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        std::string sql = "SELECT count(*) FROM " + table + " WHERE " + where;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            rows = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return rows;
}

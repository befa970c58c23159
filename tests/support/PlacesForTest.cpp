#include "tests/support/PlacesForTest.h"

#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <sqlite3.h>
#include <windows.h>

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
CREATE TABLE moz_pages_w_icons (id INTEGER PRIMARY KEY, page_url TEXT NOT NULL, page_url_hash INTEGER NOT
    NULL);
CREATE TABLE moz_icons_to_pages (page_id INTEGER NOT NULL, icon_id INTEGER NOT NULL, expire_ms INTEGER NOT
    NULL
    DEFAULT 0, PRIMARY KEY (page_id, icon_id)) WITHOUT ROWID;
INSERT INTO moz_icons (id, icon_url, fixed_icon_url_hash, root) VALUES
    (1, 'https://news.example/icon.png', 1, 0), (2, 'https://private.example/secret.png', 2, 0),
    (3, 'https://private.example/favicon.ico', 3, 1);
INSERT INTO moz_pages_w_icons VALUES (1, 'https://news.example/', 11), (2, 'https://private.example/secret', 12);
INSERT INTO moz_icons_to_pages (page_id, icon_id) VALUES (1, 1), (2, 2);
)";

// The tables of places.sqlite as Firefox 153 ESR writes them (schema version 86), copied from a profile
// that the browser made; the rows are made up.
const char* const kCurrentPlacesSchema = R"(
PRAGMA user_version = 86;
CREATE TABLE moz_origins ( id INTEGER PRIMARY KEY, prefix TEXT NOT NULL, host TEXT NOT NULL, frecency INTEGER
    NOT NULL, recalc_frecency INTEGER NOT NULL DEFAULT 0, alt_frecency INTEGER, recalc_alt_frecency INTEGER
    NOT NULL DEFAULT 0, block_until_ms INTEGER, block_pages_until_ms INTEGER, UNIQUE (prefix, host) );
CREATE TABLE moz_places ( id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, rev_host LONGVARCHAR,
    visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, typed INTEGER DEFAULT 0 NOT NULL,
    frecency INTEGER DEFAULT -1 NOT NULL, last_visit_date INTEGER , guid TEXT, foreign_count INTEGER DEFAULT 0
    NOT NULL, url_hash INTEGER DEFAULT 0 NOT NULL , description TEXT, preview_image_url TEXT, site_name TEXT,
    origin_id INTEGER REFERENCES moz_origins(id), recalc_frecency INTEGER NOT NULL DEFAULT 0, alt_frecency
    INTEGER, recalc_alt_frecency INTEGER NOT NULL DEFAULT 0);
CREATE TABLE moz_places_extra ( place_id INTEGER PRIMARY KEY NOT NULL, sync_json TEXT, FOREIGN KEY (place_id)
    REFERENCES moz_places(id) ON DELETE CASCADE );
CREATE TABLE moz_historyvisits ( id INTEGER PRIMARY KEY, from_visit INTEGER, place_id INTEGER, visit_date
    INTEGER, visit_type INTEGER, session INTEGER, source INTEGER DEFAULT 0 NOT NULL, triggeringPlaceId
    INTEGER);
CREATE TABLE moz_historyvisits_extra ( visit_id INTEGER PRIMARY KEY NOT NULL, sync_json TEXT, FOREIGN KEY
    (visit_id) REFERENCES moz_historyvisits(id) ON DELETE CASCADE);
CREATE TABLE moz_inputhistory ( place_id INTEGER NOT NULL, input LONGVARCHAR NOT NULL, use_count INTEGER,
    PRIMARY KEY (place_id, input));
CREATE TABLE moz_bookmarks ( id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL, parent INTEGER,
    position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT, dateAdded INTEGER, lastModified
    INTEGER, guid TEXT, syncStatus INTEGER NOT NULL DEFAULT 0, syncChangeCounter INTEGER NOT NULL DEFAULT 1);
CREATE TABLE moz_bookmarks_deleted (  guid TEXT PRIMARY KEY, dateRemoved INTEGER NOT NULL DEFAULT 0);
CREATE TABLE moz_keywords ( id INTEGER PRIMARY KEY AUTOINCREMENT, keyword TEXT UNIQUE, place_id INTEGER,
    post_data TEXT);
CREATE TABLE moz_anno_attributes (  id INTEGER PRIMARY KEY, name VARCHAR(32) UNIQUE NOT NULL);
CREATE TABLE moz_annos ( id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL, anno_attribute_id INTEGER, content
    LONGVARCHAR, flags INTEGER DEFAULT 0, expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0, dateAdded
    INTEGER DEFAULT 0, lastModified INTEGER DEFAULT 0);
CREATE TABLE moz_items_annos ( id INTEGER PRIMARY KEY, item_id INTEGER NOT NULL, anno_attribute_id INTEGER,
    content LONGVARCHAR, flags INTEGER DEFAULT 0, expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0,
    dateAdded INTEGER DEFAULT 0, lastModified INTEGER DEFAULT 0);
CREATE TABLE moz_meta (key TEXT PRIMARY KEY, value NOT NULL) WITHOUT ROWID ;
CREATE TABLE moz_places_metadata (id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL, referrer_place_id
    INTEGER, created_at INTEGER NOT NULL DEFAULT 0, updated_at INTEGER NOT NULL DEFAULT 0, total_view_time
    INTEGER NOT NULL DEFAULT 0, typing_time INTEGER NOT NULL DEFAULT 0, key_presses INTEGER NOT NULL DEFAULT
    0, scrolling_time INTEGER NOT NULL DEFAULT 0, scrolling_distance INTEGER NOT NULL DEFAULT 0, document_type
    INTEGER NOT NULL DEFAULT 0, search_query_id INTEGER, FOREIGN KEY (place_id) REFERENCES moz_places(id) ON
    DELETE CASCADE, FOREIGN KEY (referrer_place_id) REFERENCES moz_places(id) ON DELETE CASCADE, FOREIGN
    KEY(search_query_id) REFERENCES moz_places_metadata_search_queries(id) ON DELETE CASCADE CHECK(place_id !=
    referrer_place_id) );
CREATE TABLE moz_places_metadata_search_queries ( id INTEGER PRIMARY KEY, terms TEXT NOT NULL UNIQUE );
CREATE TABLE moz_previews_tombstones (   hash TEXT PRIMARY KEY ) WITHOUT ROWID;
CREATE TABLE moz_newtab_story_click ( feature TEXT NOT NULL, timestamp_s INTEGER NOT NULL, card_format_enum
    INTEGER NOT NULL, position INTEGER NOT NULL, section_position INTEGER NOT NULL, feature_value REAL NOT
    NULL DEFAULT 1 );
CREATE TABLE moz_newtab_story_impression ( feature TEXT NOT NULL, timestamp_s INTEGER NOT NULL,
    card_format_enum INTEGER NOT NULL, position INTEGER NOT NULL, section_position INTEGER NOT NULL,
    feature_value REAL NOT NULL DEFAULT 1 );
CREATE TABLE moz_newtab_shortcuts_interaction ( id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL REFERENCES
    moz_places(id) ON DELETE CASCADE, event_type INTEGER NOT NULL, timestamp_s INTEGER NOT NULL, pinned
    INTEGER NOT NULL CHECK (pinned IN (0, 1)), tile_position INTEGER NOT NULL);
)";

const char* const kCurrentPlacesRows = R"(
INSERT INTO moz_origins (id, prefix, host, frecency) VALUES (1, 'https://', 'news.example', 900),
    (2, 'https://', 'private.example', 500);
INSERT INTO moz_places (id, url, title, visit_count, frecency, last_visit_date, foreign_count, origin_id, guid)
    VALUES (1, 'https://news.example/', 'News', 2, 900, 1765000000000000, 1, 1, 'page1_______'),
           (2, 'https://private.example/secret', 'Secret', 5, 500, 1765100000000000, 0, 2, 'page2_______');
INSERT INTO moz_historyvisits (id, from_visit, place_id, visit_date, visit_type) VALUES
    (1, 0, 1, 1765000000000000, 1), (2, 0, 2, 1765100000000000, 2);
INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid) VALUES
    (1, 2, NULL, 0, 0, 'root', 'root________'), (2, 1, 1, 1, 0, 'News', 'bookmark1___');
INSERT INTO moz_newtab_shortcuts_interaction (place_id, event_type, timestamp_s, pinned, tile_position) VALUES
    (1, 0, 1765000000, 1, 0), (2, 1, 1765100000, 0, 1), (2, 0, 1765100001, 0, 1);
)";

const char* const kChromiumCookies = R"(
CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);
CREATE TABLE cookies(creation_utc INTEGER NOT NULL,host_key TEXT NOT NULL,top_frame_site_key TEXT NOT NULL,
    name TEXT NOT NULL,value TEXT NOT NULL,encrypted_value BLOB NOT NULL,path TEXT NOT NULL,
    expires_utc INTEGER NOT NULL,is_secure INTEGER NOT NULL,is_httponly INTEGER NOT NULL,
    last_access_utc INTEGER NOT NULL,has_expires INTEGER NOT NULL,is_persistent INTEGER NOT NULL,
    priority INTEGER NOT NULL,samesite INTEGER NOT NULL,source_scheme INTEGER NOT NULL,
    source_port INTEGER NOT NULL,last_update_utc INTEGER NOT NULL,source_type INTEGER NOT NULL,
    has_cross_site_ancestor INTEGER NOT NULL);
CREATE UNIQUE INDEX cookies_unique_index ON cookies(host_key, top_frame_site_key, has_cross_site_ancestor,
    name, path, source_scheme, source_port);
INSERT INTO meta VALUES ('mmap_status', '-1'), ('version', '24'), ('last_compatible_version', '24');
INSERT INTO cookies VALUES
    (13400000000000001, '.example.com', '', 'session', '', x'763130aa', '/', 13500000000000000, 1, 1,
     13400000000000001, 1, 1, 1, 0, 2, 443, 13400000000000001, 0, 0),
    (13400000000000002, 'example.com', '', 'prefs', '', x'763130bb', '/', 13500000000000000, 1, 0,
     13400000000000002, 1, 1, 1, 1, 2, 443, 13400000000000002, 0, 0),
    (13400000000000003, 'www.example.com', '', 'cart', '', x'763130cc', '/', 13500000000000000, 1, 0,
     13400000000000003, 1, 1, 1, 1, 2, 443, 13400000000000003, 0, 0),
    (13400000000000004, '.badexample.com', '', 'id', '', x'763130dd', '/', 13500000000000000, 1, 0,
     13400000000000004, 1, 1, 1, 0, 2, 443, 13400000000000004, 0, 1),
    (13400000000000005, '.tracker.net', 'https://example.com', 'uid', '', x'763130ee', '/',
     13500000000000000, 1, 0, 13400000000000005, 1, 1, 1, 0, 2, 443, 13400000000000005, 0, 1),
    (13400000000000006, 'shop.other.org', '', 'basket', '', x'763130ff', '/', 13500000000000000, 1, 0,
     13400000000000006, 1, 1, 1, 1, 2, 443, 13400000000000006, 0, 0);
)";

const char* const kFirefoxCookies = R"(
PRAGMA journal_mode = WAL;
PRAGMA user_version = 17;
CREATE TABLE moz_cookies (id INTEGER PRIMARY KEY, originAttributes TEXT NOT NULL DEFAULT '', name TEXT,
    value TEXT, host TEXT, path TEXT, expiry INTEGER, lastAccessed INTEGER, creationTime INTEGER,
    isSecure INTEGER, isHttpOnly INTEGER, inBrowserElement INTEGER DEFAULT 0, sameSite INTEGER DEFAULT 0,
    schemeMap INTEGER DEFAULT 0, isPartitionedAttributeSet INTEGER DEFAULT 0, updateTime INTEGER,
    CONSTRAINT moz_uniqueid UNIQUE (name, host, path, originAttributes));
INSERT INTO moz_cookies (originAttributes, name, value, host, path, expiry, lastAccessed, creationTime,
    isSecure, isHttpOnly, updateTime) VALUES
    ('', 'session', 'a1', '.example.com', '/', 1800000000000, 1765000000000000, 1765000000000000, 1, 1, 1),
    ('^userContextId=1', 'login', 'b2', 'accounts.example.com', '/', 1800000000000, 1765000000000000,
     1765000000000000, 1, 1, 1),
    ('', 'uid', 'c3', '.tracker.net', '/', 1800000000000, 1765000000000000, 1765000000000000, 1, 0, 1),
    ('', 'id', 'd4', 'notexample.com', '/', 1800000000000, 1765000000000000, 1765000000000000, 0, 0, 1);
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

bool MakeChromiumCookiesForTest(const std::string& path)
{
    return MakeDatabase(path, kChromiumCookies);
}

bool MakeFirefoxCookiesForTest(const std::string& path)
{
    return MakeDatabase(path, kFirefoxCookies);
}

bool MakeKilledBrowserPlacesForTest(const std::string& path)
{
    sqlite3* db = nullptr;
    // As the browser runs it: exclusive, so the log's index lives in memory and no -shm file is written.
    bool made = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) ==
                    SQLITE_OK &&
                sqlite3_exec(db, "PRAGMA journal_mode = WAL; PRAGMA locking_mode = EXCLUSIVE;", nullptr,
                             nullptr, nullptr) == SQLITE_OK &&
                sqlite3_exec(db, kCurrentPlacesSchema, nullptr, nullptr, nullptr) == SQLITE_OK &&
                sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE); PRAGMA wal_autocheckpoint = 0;", nullptr,
                             nullptr, nullptr) == SQLITE_OK &&
                sqlite3_exec(db, kCurrentPlacesRows, nullptr, nullptr, nullptr) == SQLITE_OK &&
                sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return made;
}

bool MakeLogOnlyChromiumCookiesForTest(const std::string& path)
{
    sqlite3* db = nullptr;
    bool made = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) ==
                    SQLITE_OK &&
                sqlite3_exec(db,
                             "PRAGMA journal_mode = WAL; PRAGMA locking_mode = EXCLUSIVE; "
                             "PRAGMA wal_autocheckpoint = 0;",
                             nullptr, nullptr, nullptr) == SQLITE_OK &&
                sqlite3_exec(db, kChromiumCookies, nullptr, nullptr, nullptr) == SQLITE_OK &&
                sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    UniqueHandle file(CreateFileW(ToExtendedPath(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return made && file && SetEndOfFile(file.get());
}

bool MakeWebStorageForTest(const std::string& path, const std::vector<std::string>& originKeys)
{
    std::string sql =
        "PRAGMA journal_mode = WAL; CREATE TABLE webappsstore2 (originAttributes TEXT, "
        "originKey TEXT, scope TEXT, key TEXT, value TEXT); "
        "CREATE UNIQUE INDEX origin_key_index ON webappsstore2(originAttributes, originKey, key);";
    for (const std::string& origin : originKeys)
        sql += "INSERT INTO webappsstore2 VALUES ('', '" + origin + "', '', 'theme', 'dark');";
    return MakeDatabase(path, sql.c_str());
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

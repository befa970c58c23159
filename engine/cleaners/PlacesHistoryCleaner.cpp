#include "engine/cleaners/PlacesHistoryCleaner.h"

#include "engine/cleaners/DatabaseEdit.h"
#include "engine/cleaners/DatabaseLeftovers.h"
#include "engine/cleaners/SqliteDatabase.h"
#include "framework/Format.h"

#include <vector>

namespace {

// Tables that hold nothing but history; each is emptied where this version of the schema has it.
const char* const kHistoryTables[] = {"moz_historyvisits", "moz_historyvisits_extra", "moz_inputhistory",
                                      "moz_places_metadata", "moz_places_metadata_search_queries"};

// The pages a bookmark or a keyword points to, which must stay for those to work.
std::string KeptPages(SqliteDatabase& db)
{
    std::vector<std::string> reasons;
    if (db.HasTable("moz_bookmarks"))
        reasons.push_back("id IN (SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL)");
    if (db.HasTable("moz_keywords"))
        reasons.push_back("id IN (SELECT place_id FROM moz_keywords)");
    if (db.HasColumn("moz_places", "foreign_count"))
        reasons.push_back("foreign_count > 0");
    std::string kept;
    for (const std::string& reason : reasons)
        kept += (kept.empty() ? "" : " OR ") + reason;
    return kept.empty() ? "0" : "(" + kept + ")";
}

// What is left of a kept page must not tell when or how often it was visited.
std::string ResetKeptPages(SqliteDatabase& db)
{
    std::string set = "visit_count = 0, last_visit_date = NULL, typed = 0";
    if (db.HasColumn("moz_places", "recalc_frecency"))
        set += ", frecency = 0, recalc_frecency = 1";
    else
        set += ", frecency = -1"; // older schemas mark a frecency to recalculate this way
    if (db.HasColumn("moz_places", "alt_frecency"))
        set += ", alt_frecency = NULL, recalc_alt_frecency = 1";
    std::string sql = "UPDATE moz_places SET " + set + ";";
    if (db.HasTable("moz_origins") && db.HasColumn("moz_origins", "recalc_frecency"))
        sql += "UPDATE moz_origins SET frecency = 0, recalc_frecency = 1;";
    return sql;
}

std::string Identifier(const std::string& name)
{
    std::string quoted = "\"";
    for (char c : name)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// Every column of another table that points at pages: named place_id, as all of them are, or declared a
// reference to moz_places. Each version of the browser adds tables of its own, which the schema names.
std::vector<std::vector<std::string>> PagePointers(SqliteDatabase& db)
{
    return db.Rows("SELECT m.name, c.name FROM sqlite_master m, pragma_table_info(m.name) c "
                   "WHERE m.type = 'table' AND m.name <> 'moz_places' AND c.name = 'place_id' "
                   "UNION SELECT m.name, f.\"from\" FROM sqlite_master m, pragma_foreign_key_list(m.name) f "
                   "WHERE m.type = 'table' AND m.name <> 'moz_places' AND f.\"table\" = 'moz_places'");
}

std::string DeleteHistory(SqliteDatabase& db, const std::string& kept)
{
    std::string sql;
    for (const char* table : kHistoryTables) {
        if (db.HasTable(table))
            sql += std::string("DELETE FROM ") + table + ";";
    }
    sql += "DELETE FROM moz_places WHERE NOT " + kept + ";";
    // What hung on the pages that went: download annotations, extra data, interactions, icons, whole sites.
    for (const std::vector<std::string>& pointer : PagePointers(db))
        sql += "DELETE FROM " + Identifier(pointer[0]) + " WHERE " + Identifier(pointer[1]) +
               " NOT IN (SELECT id FROM moz_places);";
    if (db.HasTable("moz_favicons") && db.HasColumn("moz_places", "favicon_id"))
        sql += "DELETE FROM moz_favicons WHERE id NOT IN "
               "(SELECT favicon_id FROM moz_places WHERE favicon_id IS NOT NULL);";
    if (db.HasTable("moz_origins") && db.HasColumn("moz_places", "origin_id"))
        sql += "DELETE FROM moz_origins WHERE id NOT IN "
               "(SELECT origin_id FROM moz_places WHERE origin_id IS NOT NULL);";
    return sql + ResetKeptPages(db);
}

// The icons store beside places.sqlite names every page that had an icon; the pages that left the
// history leave it too, with the icons only they used. A site's own icon (root) stays for its bookmarks.
void ClearIconsOfGonePages(const std::string& placesPath, const EraseOptions& options)
{
    std::string path = placesPath.substr(0, placesPath.find_last_of('\\') + 1) + "favicons.sqlite";
    if (!IsPlainFile(path))
        return;
    SqliteDatabase db(path, kBrowserBusyMilliseconds);
    if (!db && db.WasRefused())
        ReportDatabaseFailure(path, db, options);
    if (!db || !db.HasTable("moz_pages_w_icons") || !db.HasTable("moz_icons_to_pages") ||
        !db.HasTable("moz_icons"))
        return;
    ScrubbedEdit edit(db, path);
    bool cleared = db.Attach(placesPath, "places") && db.Execute("BEGIN IMMEDIATE") &&
                   db.Execute("DELETE FROM moz_pages_w_icons WHERE page_url NOT IN "
                              "(SELECT url FROM places.moz_places WHERE url IS NOT NULL);"
                              "DELETE FROM moz_icons_to_pages WHERE page_id NOT IN "
                              "(SELECT id FROM moz_pages_w_icons);"
                              "DELETE FROM moz_icons WHERE root = 0 AND id NOT IN "
                              "(SELECT icon_id FROM moz_icons_to_pages);") &&
                   db.Execute("COMMIT");
    if (!cleared) {
        ReportDatabaseFailure(path, db, options);
        db.Execute("ROLLBACK");
        return;
    }
    db.Execute("DETACH DATABASE places");
    if (!edit.Finish())
        options.Listener().OnFailure(path, edit.Failure());
}

} // namespace

void ClearPlacesHistory(const std::string& path, const EraseOptions& options)
{
    if (!IsPlainFile(path))
        return;
    EraseListener& listener = options.Listener();
    SqliteDatabase db(path, kBrowserBusyMilliseconds, EditAccess(options));
    if (!IsReadyForEdit(db, path, options))
        return;
    if (!db.HasTable("moz_places")) {
        listener.OnFailure(path, "holds no Firefox-family browsing history");
        return;
    }
    std::string kept = KeptPages(db);
    bool hasVisits = db.HasTable("moz_historyvisits");
    std::optional<int64_t> visits = hasVisits ? db.Integer("SELECT count(*) FROM moz_historyvisits") : 0;
    std::optional<int64_t> pages = db.Integer("SELECT count(*) FROM moz_places WHERE NOT " + kept);
    if (!visits || !pages) {
        ReportDatabaseFailure(path, db, options);
        return;
    }
    std::string counts =
        Format("%lld visits and %lld pages", static_cast<long long>(*visits), static_cast<long long>(*pages));
    if (options.Preview()) {
        listener.OnUncounted("history in " + path + ": " + counts + " would go; bookmarks stay");
        return;
    }
    // Nothing of the history can be read back from the file or its log afterwards.
    ScrubbedEdit edit(db, path);
    if (!db.Execute("BEGIN IMMEDIATE")) {
        ReportDatabaseFailure(path, db, options);
        return;
    }
    if (!db.Execute(DeleteHistory(db, kept)) || !db.Execute("COMMIT")) {
        ReportDatabaseFailure(path, db, options);
        db.Execute("ROLLBACK");
        return;
    }
    if (!edit.Finish())
        listener.OnFailure(path, edit.Failure());
    ClearIconsOfGonePages(path, options);
    listener.OnUncounted("history in " + path + ": " + counts + " went; bookmarks stay");
}

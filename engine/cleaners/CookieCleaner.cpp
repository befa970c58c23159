#include "engine/cleaners/CookieCleaner.h"

#include "engine/cleaners/DatabaseEdit.h"
#include "engine/cleaners/DatabaseLeftovers.h"
#include "engine/cleaners/SqliteDatabase.h"
#include "engine/files/PathExpansion.h"
#include "engine/files/PathTokens.h"
#include "engine/items/EraseItem.h"

#include <set>

namespace {

struct CookieTable {
    const char* table;
    const char* hostColumn;
};

const CookieTable kCookieTables[] = {{"cookies", "host_key"}, {"moz_cookies", "host"}};

const CookieTable* TableOf(SqliteDatabase& db)
{
    for (const CookieTable& kind : kCookieTables) {
        if (db.HasColumn(kind.table, kind.hostColumn))
            return &kind;
    }
    return nullptr;
}

// Deletes inside a transaction and counts there, so the count is what went.
std::optional<int64_t> DeleteOthers(SqliteDatabase& db, const std::string& from, const std::string& others)
{
    if (!db.Execute("BEGIN IMMEDIATE"))
        return std::nullopt;
    std::optional<int64_t> count = db.Integer("SELECT count(*) FROM " + from + others);
    if (!count || !db.Execute("DELETE FROM " + from + others) || !db.Execute("COMMIT")) {
        db.Execute("ROLLBACK");
        return std::nullopt;
    }
    return count;
}

} // namespace

void ClearCookiesExcept(const std::string& path, const KeptSites& sites, uint64_t& cookies,
                        const EraseOptions& options)
{
    if (!IsPlainFile(path))
        return;
    SqliteDatabase db(path, kBrowserBusyMilliseconds, EditAccess(options));
    if (!IsReadyForEdit(db, path, options))
        return;
    const CookieTable* kind = TableOf(db);
    if (!kind) {
        options.Listener().OnFailure(path, "holds no browser cookies");
        return;
    }
    // One pass over the table, each host looked up in the set of kept sites.
    if (!db.AddPredicate("vestrel_kept_site",
                         [&sites](std::string_view host) { return sites.SiteOf(host) != nullptr; })) {
        ReportDatabaseFailure(path, db, options);
        return;
    }
    std::string others = std::string(" WHERE NOT vestrel_kept_site(") + kind->hostColumn + ")";
    std::optional<ScrubbedEdit> edit;
    if (!options.Preview())
        edit.emplace(db, path);
    std::optional<int64_t> count =
        options.Preview() ? db.Integer(std::string("SELECT count(*) FROM ") + kind->table + others)
                          : DeleteOthers(db, kind->table, others);
    if (!count) {
        ReportDatabaseFailure(path, db, options);
        return;
    }
    cookies += static_cast<uint64_t>(*count);
    options.Listener().OnCookies(path, static_cast<uint64_t>(*count));
    if (edit && !edit->Finish())
        options.Listener().OnFailure(path, edit->Failure());
    else if (edit && db.Rows("PRAGMA integrity_check") != std::vector<std::vector<std::string>>{{"ok"}})
        options.Listener().OnFailure(path, "the database fails its check after the cookies were removed");
}

namespace {

void AddHostsOf(const std::string& path, std::set<std::string>& hosts)
{
    if (!IsPlainFile(path))
        return;
    SqliteDatabase db(path, kBrowserBusyMilliseconds, SqliteAccess::ReadOnly);
    const CookieTable* kind = db ? TableOf(db) : nullptr;
    if (!kind)
        return;
    std::string sql =
        std::string("SELECT DISTINCT ltrim(lower(") + kind->hostColumn + "), '.') FROM " + kind->table;
    for (const std::vector<std::string>& row : db.Rows(sql)) {
        if (!row[0].empty())
            hosts.insert(row[0]);
    }
}

} // namespace

std::vector<std::string> SitesWithCookies(const std::vector<EraseItem>& items)
{
    std::set<std::string> hosts;
    for (const EraseItem& item : items) {
        for (size_t index = 0; item.loaded && index < item.parameters.size(); ++index) {
            std::optional<std::string> path = ExpandPathTokens(item.parameters[index]);
            size_t slash = path ? path->find_last_of('\\') : std::string::npos;
            if (item.CommandOf(index) != "delete-cookies" || slash == std::string::npos)
                continue;
            for (const std::string& folder : ExpandFolderWildcards(path->substr(0, slash + 1), nullptr))
                AddHostsOf(folder + path->substr(slash + 1), hosts);
        }
    }
    return {hosts.begin(), hosts.end()};
}

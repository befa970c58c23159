#include "engine/cleaners/TableCleaner.h"

#include "engine/cleaners/DatabaseEdit.h"
#include "engine/cleaners/DatabaseLeftovers.h"
#include "engine/cleaners/SqliteDatabase.h"

namespace {

std::string Identifier(const std::string& name)
{
    std::string quoted = "\"";
    for (char c : name)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// Deletes inside a transaction and counts there, so the count is what went.
std::optional<int64_t> DeleteRows(SqliteDatabase& db, const std::string& table)
{
    if (!db.Execute("BEGIN IMMEDIATE"))
        return std::nullopt;
    std::optional<int64_t> count = db.Integer("SELECT count(*) FROM " + Identifier(table));
    if (!count || !db.Execute("DELETE FROM " + Identifier(table)) || !db.Execute("COMMIT")) {
        db.Execute("ROLLBACK");
        return std::nullopt;
    }
    return count;
}

std::string Told(const std::string& table, const std::string& path, int64_t rows, const char* verb)
{
    return "table " + table + " in " + path + ": " + std::to_string(rows) + (rows == 1 ? " row " : " rows ") +
           verb;
}

} // namespace

void EmptyDatabaseTable(const std::string& path, const std::string& table, const EraseOptions& options)
{
    if (!IsPlainFile(path))
        return;
    SqliteDatabase db(path, kBrowserBusyMilliseconds, EditAccess(options));
    if (!IsReadyForEdit(db, path, options))
        return;
    if (!db.HasTable(table))
        return;
    EraseListener& listener = options.Listener();
    if (options.Preview()) {
        std::optional<int64_t> rows = db.Integer("SELECT count(*) FROM " + Identifier(table));
        if (rows)
            listener.OnUncounted(Told(table, path, *rows, "would go"));
        else
            ReportDatabaseFailure(path, db, options);
        return;
    }
    ScrubbedEdit edit(db, path);
    std::optional<int64_t> rows = DeleteRows(db, table);
    if (!rows) {
        ReportDatabaseFailure(path, db, options);
        return;
    }
    listener.OnUncounted(Told(table, path, *rows, "went"));
    if (!edit.Finish())
        listener.OnFailure(path, edit.Failure());
    else if (db.Rows("PRAGMA integrity_check") != std::vector<std::vector<std::string>>{{"ok"}})
        listener.OnFailure(path, "the database fails its check after the rows were removed");
}

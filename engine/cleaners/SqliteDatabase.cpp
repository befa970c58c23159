#include "engine/cleaners/SqliteDatabase.h"

#include "engine/cleaners/DatabaseFileCheck.h"

#include "framework/Utf8.h"

#include <sqlite3.h>
#include <windows.h>

namespace {

bool FileExists(const std::string& path)
{
    return GetFileAttributesW(ToExtendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The path as a URI filename that opens it read-only, its log index too: a reader that finds the index
// stale (its writer was killed) then reads the log into memory instead of rebuilding the index in place.
std::string ReadOnlyUri(const std::string& path)
{
    std::string uri = "file:";
    for (char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            char escaped[4];
            wsprintfA(escaped, "%%%02X", static_cast<unsigned char>(c));
            uri += escaped;
        } else {
            uri += c;
        }
    }
    return uri + "?mode=ro&readonly_shm=1";
}

// The files SQLite keeps beside a database and writes by name.
const char* const kCompanions[] = {"-wal", "-shm", "-journal"};

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

SqliteDatabase::SqliteDatabase(const std::string& path, int busyMilliseconds, SqliteAccess access)
{
    if (!Hold(path))
        return;
    sqlite3* db = nullptr;
    bool readOnly = access == SqliteAccess::ReadOnly;
    // SQLite opens the log's index, creating it empty when it is missing, wherever a log lies beside the file.
    if (readOnly && FileExists(path + "-wal") && !FileExists(path + "-shm"))
        madeIndex_ = path + "-shm";
    int code =
        readOnly ? sqlite3_open_v2(ReadOnlyUri(path).c_str(), &db,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOFOLLOW, nullptr)
                 : sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr);
    if (code == SQLITE_OK && readOnly)
        code = sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    if (code != SQLITE_OK) {
        error_ = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
        sqlite3_close(db);
        return;
    }
    db_ = db;
    sqlite3_busy_timeout(db_, busyMilliseconds);
    sqlite3_extended_result_codes(db_, 1);
    if (!OpenedWhatIsHeld("main")) {
        sqlite3_close(db_);
        db_ = nullptr;
    }
}

SqliteDatabase::~SqliteDatabase()
{
    sqlite3_close(db_);
    // Only while it is still empty: a browser that started meanwhile may have filled it.
    WIN32_FILE_ATTRIBUTE_DATA index;
    if (!madeIndex_.empty() &&
        GetFileAttributesExW(ToExtendedPath(madeIndex_).c_str(), GetFileExInfoStandard, &index) &&
        index.nFileSizeLow == 0 && index.nFileSizeHigh == 0)
        DeleteFileW(ToExtendedPath(madeIndex_).c_str());
}

// Checks the database file and holds it open, and checks the companion files that are there now. Those are
// let go again: SQLite deletes them when it closes.
bool SqliteDatabase::Hold(const std::string& path)
{
    const EditedFile& file = held_.emplace_back(path);
    std::string refusal = file.Result() == EditedFile::Check::Refused ? file.Reason() : "";
    for (const char* suffix : kCompanions) {
        if (!refusal.empty())
            break;
        EditedFile companion(path + suffix, false);
        if (companion.Result() == EditedFile::Check::Refused)
            refusal = "its companion file " + path.substr(path.find_last_of('\\') + 1) + suffix + " is " +
                      companion.Reason();
    }
    if (refusal.empty() && file.Result() == EditedFile::Check::Editable)
        refusal = UnsafeDatabaseReason(path);
    if (!refusal.empty()) {
        refused_ = true;
        error_ = refusal;
        return false;
    }
    if (file.Result() == EditedFile::Check::Failed) {
        error_ = file.Reason();
        return false;
    }
    return true;
}

// SQLite opened the file by its name; that name must still be the entry checked.
bool SqliteDatabase::OpenedWhatIsHeld(const std::string& schema)
{
    void* handle = nullptr;
    if (sqlite3_file_control(db_, schema.c_str(), SQLITE_FCNTL_WIN32_GET_HANDLE, &handle) == SQLITE_OK &&
        held_.back().IsSameFile(handle))
        return true;
    refused_ = true;
    error_ = "changed while it was being opened: it is no longer the file that was checked";
    return false;
}

bool SqliteDatabase::Attach(const std::string& path, const std::string& schema)
{
    return Hold(path) && Execute("ATTACH DATABASE " + Quoted(path) + " AS " + schema) &&
           OpenedWhatIsHeld(schema);
}

void SqliteDatabase::Remember(int code)
{
    error_ = sqlite3_errmsg(db_);
    int primary = code & 0xff;
    busy_ = primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

bool SqliteDatabase::Execute(const std::string& sql)
{
    int code = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) {
        Remember(code);
        return false;
    }
    return true;
}

std::optional<int64_t> SqliteDatabase::Integer(const std::string& sql)
{
    sqlite3_stmt* statement = nullptr;
    int code = sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr);
    std::optional<int64_t> value;
    if (code == SQLITE_OK) {
        code = sqlite3_step(statement);
        if (code == SQLITE_ROW)
            value = sqlite3_column_int64(statement, 0);
    }
    if (code != SQLITE_OK && code != SQLITE_ROW && code != SQLITE_DONE)
        Remember(code);
    sqlite3_finalize(statement);
    return value;
}

std::vector<std::vector<std::string>> SqliteDatabase::Rows(const std::string& sql)
{
    std::vector<std::vector<std::string>> rows;
    sqlite3_stmt* statement = nullptr;
    int code = sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr);
    while (code == SQLITE_OK && (code = sqlite3_step(statement)) == SQLITE_ROW) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
            const unsigned char* text = sqlite3_column_text(statement, column);
            row.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
        }
        code = SQLITE_OK;
    }
    if (code != SQLITE_DONE) {
        Remember(code);
        rows.clear();
    }
    sqlite3_finalize(statement);
    return rows;
}

namespace {

void CallPredicate(sqlite3_context* context, int, sqlite3_value** arguments)
{
    const auto& holds =
        *static_cast<const std::function<bool(std::string_view)>*>(sqlite3_user_data(context));
    const unsigned char* text = sqlite3_value_text(arguments[0]);
    std::string_view value(text ? reinterpret_cast<const char*>(text) : "",
                           text ? static_cast<size_t>(sqlite3_value_bytes(arguments[0])) : 0);
    sqlite3_result_int(context, holds(value) ? 1 : 0);
}

} // namespace

bool SqliteDatabase::AddPredicate(const std::string& name, std::function<bool(std::string_view)> holds)
{
    predicates_.push_back(std::move(holds));
    int code = sqlite3_create_function_v2(db_, name.c_str(), 1,
                                          SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY,
                                          &predicates_.back(), CallPredicate, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) {
        Remember(code);
        return false;
    }
    return true;
}

bool SqliteDatabase::HasTable(const std::string& table)
{
    return Integer("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                   "name = '" +
                   table + "'")
               .value_or(0) > 0;
}

bool SqliteDatabase::HasColumn(const std::string& table, const std::string& column)
{
    return Integer("SELECT count(*) FROM pragma_table_info('" + table + "') WHERE name = '" + column + "'")
               .value_or(0) > 0;
}

#include "engine/SqliteDatabase.h"

#include <sqlite3.h>

SqliteDatabase::SqliteDatabase(const std::string& path, int busyMilliseconds)
{
    sqlite3* db = nullptr;
    int code = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr);
    if (code != SQLITE_OK) {
        error_ = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
        sqlite3_close(db);
        return;
    }
    db_ = db;
    sqlite3_busy_timeout(db_, busyMilliseconds);
    sqlite3_extended_result_codes(db_, 1);
}

SqliteDatabase::~SqliteDatabase()
{
    sqlite3_close(db_);
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

bool SqliteDatabase::HasTable(const std::string& table)
{
    return Integer("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = '" + table + "'")
               .value_or(0) > 0;
}

bool SqliteDatabase::HasColumn(const std::string& table, const std::string& column)
{
    return Integer("SELECT count(*) FROM pragma_table_info('" + table + "') WHERE name = '" + column + "'")
               .value_or(0) > 0;
}

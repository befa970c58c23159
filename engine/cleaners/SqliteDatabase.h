#pragma once
#include "engine/files/EditedFile.h"

#include <cstdint>
#include <functional>
#include <list>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

struct sqlite3;

// How a database is opened. ReadOnly changes no byte of the file, of its write-ahead log or of the log's
// index: what the log holds is read into memory, and closing moves nothing from the log into the file.
enum class SqliteAccess { ReadWrite, ReadOnly };

// One connection to an existing SQLite database file, closed on destruction. It never creates the file, and
// waits at most busyMilliseconds for a lock another program holds. A file that is not the entry its path
// names, or that has other names, is refused: it is not opened (see EditedFile).
class SqliteDatabase {
public:
    SqliteDatabase(const std::string& path, int busyMilliseconds,
                   SqliteAccess access = SqliteAccess::ReadWrite);
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;
    ~SqliteDatabase();

    explicit operator bool() const { return db_ != nullptr; }

    // Attaches the database file at path as schema, checked as the main file is; false on failure.
    bool Attach(const std::string& path, const std::string& schema);
    // Runs statements that return no rows; false on the first failure, whose text ErrorText gives.
    bool Execute(const std::string& sql);
    // The first column of the first row as an integer; nothing on failure or without rows.
    std::optional<int64_t> Integer(const std::string& sql);
    // Every row's columns as text (NULL as empty); nothing on failure.
    std::vector<std::vector<std::string>> Rows(const std::string& sql);
    // Makes name(text) callable in this connection's statements (not in the file's own triggers or views):
    // 1 where holds says so of the text, else 0; NULL counts as empty text. False when it cannot be added.
    bool AddPredicate(const std::string& name, std::function<bool(std::string_view)> holds);
    bool HasTable(const std::string& table);
    bool HasColumn(const std::string& table, const std::string& column);
    // Why the last call failed, and whether that was a lock held by another connection or a file refused.
    const std::string& ErrorText() const { return error_; }
    bool WasBusy() const { return busy_; }
    bool WasRefused() const { return refused_; }

private:
    void Remember(int code);
    bool Hold(const std::string& path);
    bool OpenedWhatIsHeld(const std::string& schema);

    // The files checked, held open until the connection has closed.
    std::vector<EditedFile> held_;
    std::list<std::function<bool(std::string_view)>> predicates_; // declared first: outlive the connection
    sqlite3* db_ = nullptr;
    std::string madeIndex_; // a log index that only a read-only opening made, removed again on closing
    std::string error_;
    bool busy_ = false;
    bool refused_ = false;
};

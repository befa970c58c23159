#include "engine/cleaners/TableCleaner.h"
#include "tests/engine/HeardFromCleaner.h"
#include "tests/support/PlacesForTest.h"
#include "tests/support/Sandbox.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

namespace {

// A database as a browser that was killed leaves it: typed entries in the file and in the write-ahead log,
// and the pages of a table the browser dropped itself, without secure deletion, free with the old rows
// still in them.
bool MakeKilledBrowserDatabase(const std::string& path)
{
    sqlite3* db = nullptr;
    const char* sql = "PRAGMA secure_delete = OFF; PRAGMA journal_mode = WAL;"
                      "CREATE TABLE autofill (name VARCHAR, value VARCHAR, PRIMARY KEY (name, value));"
                      "CREATE TABLE keywords (keyword VARCHAR); CREATE TABLE expired (text VARCHAR);"
                      "INSERT INTO keywords VALUES ('engine-stays');"
                      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100) "
                      "INSERT INTO expired SELECT 'oldvisit-' || i || hex(zeroblob(300)) FROM n;"
                      "INSERT INTO autofill VALUES ('nickname', 'typedword-in-file');"
                      "PRAGMA wal_checkpoint(TRUNCATE); DROP TABLE expired;"
                      "INSERT INTO autofill VALUES ('email', 'typedword-in-log');";
    bool made = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
                sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK &&
                sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return made;
}

class TableCleaner : public SandboxTest {
protected:
    std::string Bytes(const char* file) const { return Exists(file) ? ReadFile(file) : std::string(); }

    HeardFromCleaner heard_;
};

// The rows go, and nothing of them, nor of rows the browser deleted before, can be read back from the
// file, its log or its journal; the other tables stay.
TEST_F(TableCleaner, NothingOfTheRowsStaysInTheFileItsLogOrItsFreePages)
{
    const std::string path = PathOf("Web Data");
    ASSERT_TRUE(MakeKilledBrowserDatabase(path));
    ASSERT_NE(Bytes("Web Data").find("oldvisit-"), std::string::npos);
    ASSERT_NE(Bytes("Web Data-wal").find("typedword-in-log"), std::string::npos);

    EmptyDatabaseTable(path, "autofill", {EraseMode::Preview, &heard_});
    ASSERT_EQ(heard_.said.size(), 1u) << (heard_.failures.empty() ? "" : heard_.failures[0]);
    EXPECT_NE(heard_.said[0].find("2 rows would go"), std::string::npos) << heard_.said[0];
    ASSERT_NE(Bytes("Web Data-wal").find("typedword-in-log"), std::string::npos) << "the preview wrote";

    EmptyDatabaseTable(path, "autofill", {EraseMode::Erase, &heard_});
    EXPECT_TRUE(heard_.failures.empty()) << heard_.failures[0];
    ASSERT_EQ(heard_.said.size(), 2u);
    EXPECT_NE(heard_.said[1].find("2 rows went"), std::string::npos) << heard_.said[1];
    for (const char* file : {"Web Data", "Web Data-wal", "Web Data-journal", "Web Data-shm"}) {
        EXPECT_EQ(Bytes(file).find("typedword"), std::string::npos) << file;
        EXPECT_EQ(Bytes(file).find("oldvisit"), std::string::npos) << file;
    }
    EXPECT_NE(Bytes("Web Data").find("engine-stays"), std::string::npos);
    EXPECT_EQ(RowsForTest(path, "autofill"), 0);
    EXPECT_EQ(RowsForTest(path, "keywords"), 1);

    // Other versions of the browser name the table otherwise: a missing one is nothing to do.
    heard_ = {};
    EmptyDatabaseTable(path, "autocomplete", {EraseMode::Erase, &heard_});
    EXPECT_TRUE(heard_.failures.empty() && heard_.said.empty());
}

} // namespace

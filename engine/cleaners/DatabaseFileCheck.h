#pragma once
#include <string>

// Why the SQLite database at path must not be opened, or empty when it may. SQLite deletes the write-ahead
// log of a database file that is empty, and with it every page the database holds (a browser killed before
// its first checkpoint leaves its data so); and a file or a log that is not SQLite's would be overwritten.
// A file that cannot be opened to be looked at is left for SQLite to report.
std::string UnsafeDatabaseReason(const std::string& path);

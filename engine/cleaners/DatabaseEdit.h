#pragma once
#include "engine/cleaners/SqliteDatabase.h"
#include "engine/EraseMode.h"

#include <string>

// What the cleaners that edit a browser's database share.

// Long enough to pass a checkpoint of the browser, short enough that a running browser cannot stall a run.
constexpr int kBrowserBusyMilliseconds = 250;

// A preview must not even move the write-ahead log into the file.
SqliteAccess EditAccess(const EraseOptions& options);

// Whether db, opened with EditAccess, can be edited: the first read also tells whether the browser holds
// the file. If not, tells the listener why, as ReportDatabaseFailure does.
bool IsReadyForEdit(SqliteDatabase& db, const std::string& path, const EraseOptions& options);

// Tells the listener why the database could not be edited: refused (a link, a damaged file) or failed
// (held by the running browser, or another error).
void ReportDatabaseFailure(const std::string& path, SqliteDatabase& db, const EraseOptions& options);

// True when the path names a file, not a folder or nothing.
bool IsPlainFile(const std::string& path);

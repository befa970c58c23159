#pragma once
#include "engine/cleaners/SqliteDatabase.h"
#include "engine/EraseMode.h"

#include <string>

// What the cleaners that edit a browser's database share.

// Tells the listener why the database could not be edited: refused (a link, a damaged file) or failed
// (held by the running browser, or another error).
void ReportDatabaseFailure(const std::string& path, SqliteDatabase& db, const EraseOptions& options);

// True when the path names a file, not a folder or nothing.
bool IsPlainFile(const std::string& path);

#include "engine/cleaners/DatabaseEdit.h"

#include "framework/Utf8.h"

#include <windows.h>

void ReportDatabaseFailure(const std::string& path, SqliteDatabase& db, const EraseOptions& options)
{
    if (db.WasRefused())
        options.Listener().OnRefusedEdit(path, db.ErrorText());
    else
        options.Listener().OnFailure(path, db.WasBusy() ? "in use: the browser holds it while it runs"
                                                        : db.ErrorText());
}

SqliteAccess EditAccess(const EraseOptions& options)
{
    return options.Preview() ? SqliteAccess::ReadOnly : SqliteAccess::ReadWrite;
}

bool IsReadyForEdit(SqliteDatabase& db, const std::string& path, const EraseOptions& options)
{
    if (db && db.Integer("SELECT count(*) FROM sqlite_master"))
        return true;
    ReportDatabaseFailure(path, db, options);
    return false;
}

bool IsPlainFile(const std::string& path)
{
    DWORD attributes = GetFileAttributesW(ToExtendedPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

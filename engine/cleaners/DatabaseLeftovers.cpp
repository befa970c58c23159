#include "engine/cleaners/DatabaseLeftovers.h"

#include "engine/cleaners/DatabaseEdit.h"
#include "engine/files/EditedFile.h"
#include "engine/files/Overwrite.h"
#include "framework/ErrorText.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <windows.h>

#include <vector>

namespace {

std::string LastErrorText()
{
    return ErrorText(HRESULT_FROM_WIN32(GetLastError()));
}

// Overwrites the whole file in place with zeros and writes it through to the disk. It is never truncated
// first: the zeros must land on the clusters that held the log, not on new ones. Checked as an edited file
// is: never reached through a link, never a file with other names. A missing file is nothing to do. Once
// the zeros are on the disk, the file may be emptied.
bool OverwriteWithZeros(const std::string& path, bool thenEmpty, std::string& failure)
{
    if (!IsPlainFile(path))
        return true;
    EditedFile checked(path, false);
    if (checked.Result() != EditedFile::Check::Editable) {
        failure = checked.Reason();
        return false;
    }
    UniqueHandle file(CreateFileW(ToExtendedPath(path).c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_WRITE_THROUGH,
                                  nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !GetFileInformationByHandle(file.get(), &info)) {
        failure = LastErrorText();
        return false;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || info.nNumberOfLinks != 1) {
        failure = "changed while it was being overwritten: it is no longer the file that was checked";
        return false;
    }
    uint64_t size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    LARGE_INTEGER start{};
    if (!WriteZerosOver(file.get(), size) ||
        (thenEmpty &&
         (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get())))) {
        failure = LastErrorText();
        return false;
    }
    return true;
}

bool InWalMode(SqliteDatabase& db)
{
    std::vector<std::vector<std::string>> mode = db.Rows("PRAGMA journal_mode");
    return !mode.empty() && mode[0][0] == "wal";
}

} // namespace

ScrubbedEdit::ScrubbedEdit(SqliteDatabase& db, const std::string& path)
    : db_(db), path_(path), journalWasThere_(IsPlainFile(path + "-journal")), rollbackJournal_(!InWalMode(db))
{
    db_.Execute("PRAGMA secure_delete = ON");
    if (rollbackJournal_)
        db_.Execute("PRAGMA journal_mode = PERSIST");
}

ScrubbedEdit::~ScrubbedEdit()
{
    if (rollbackJournal_ && !finished_)
        db_.Execute(journalWasThere_ ? "PRAGMA journal_mode = TRUNCATE" : "PRAGMA journal_mode = DELETE");
}

bool ScrubbedEdit::Finish()
{
    finished_ = true;
    if (!OverwriteFreePages())
        return false;
    return rollbackJournal_ ? EmptyRollbackJournal() : EmptyWriteAheadLog();
}

// A blob as large as the free pages takes every one of them over and writes zeros into it; dropped again
// with secure deletion on, they go back to the free list holding zeros. The file may grow by a few pages.
bool ScrubbedEdit::OverwriteFreePages()
{
    std::optional<int64_t> freePages = db_.Integer("PRAGMA freelist_count");
    std::optional<int64_t> pageSize = db_.Integer("PRAGMA page_size");
    if (freePages && *freePages == 0)
        return true;
    if (freePages && pageSize &&
        db_.Execute("BEGIN IMMEDIATE; CREATE TABLE vestrel_free_pages(zeros); "
                    "INSERT INTO vestrel_free_pages VALUES (zeroblob(" +
                    std::to_string(*freePages * *pageSize) + ")); DROP TABLE vestrel_free_pages; COMMIT"))
        return true;
    failure_ = "its free space could not be overwritten: " + db_.ErrorText();
    db_.Execute("ROLLBACK");
    return false;
}

// Every frame of the log moved into the file, then the log overwritten and emptied. After the restart,
// readers take every page from the file, so the overwritten frames are never read again.
bool ScrubbedEdit::EmptyWriteAheadLog()
{
    std::vector<std::vector<std::string>> moved = db_.Rows("PRAGMA wal_checkpoint(RESTART)");
    if (moved.empty() || moved[0].size() != 3 || moved[0][0] != "0" || moved[0][1] != moved[0][2]) {
        failure_ = "its log could not be moved into the file: the browser holds it";
        return false;
    }
    std::string why;
    if (!OverwriteWithZeros(path_ + "-wal", false, why)) {
        failure_ = "its log could not be overwritten: " + why;
        return false;
    }
    if (db_.Execute("PRAGMA wal_checkpoint(TRUNCATE)"))
        return true;
    failure_ = "its log could not be emptied: " + db_.ErrorText();
    return false;
}

// The journal kept after the commit holds the old pages: overwritten, it goes, or stays empty where the
// browser keeps one.
bool ScrubbedEdit::EmptyRollbackJournal()
{
    std::string why;
    if (!OverwriteWithZeros(path_ + "-journal", journalWasThere_, why)) {
        failure_ = "its journal could not be overwritten: " + why;
        return false;
    }
    if (db_.Execute(journalWasThere_ ? "PRAGMA journal_mode = TRUNCATE" : "PRAGMA journal_mode = DELETE"))
        return true;
    failure_ = "its journal could not be emptied: " + db_.ErrorText();
    return false;
}

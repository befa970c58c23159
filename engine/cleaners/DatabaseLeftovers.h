#pragma once
#include "engine/cleaners/SqliteDatabase.h"

#include <string>

// An edit of a browser's database that leaves nothing of what it deleted: not in the file's free space,
// not in its write-ahead log or rollback journal, whose bytes would otherwise stay on the disk once the
// log is emptied or deleted. (The log's index, -shm, holds page numbers only.)
class ScrubbedEdit {
public:
    // Before the edit's transaction: freed space is overwritten from then on, and a rollback journal is
    // kept after the commit, so that its copies of the old pages can be overwritten before it goes.
    ScrubbedEdit(SqliteDatabase& db, const std::string& path);
    // An edit that failed before Finish gives the journal back to the mode it had.
    ~ScrubbedEdit();
    ScrubbedEdit(const ScrubbedEdit&) = delete;
    ScrubbedEdit& operator=(const ScrubbedEdit&) = delete;

    // After the commit: overwrites the pages that were free before (freed by the browser, which may not
    // have overwritten them), moves the write-ahead log into the file, overwrites the log or journal and
    // empties it; a journal the browser keeps stays, empty. False when a step failed; the edit stands.
    bool Finish();
    const std::string& Failure() const { return failure_; }

private:
    bool OverwriteFreePages();
    bool EmptyWriteAheadLog();
    bool EmptyRollbackJournal();

    SqliteDatabase& db_;
    std::string path_;
    bool journalWasThere_;
    bool rollbackJournal_;
    bool finished_ = false;
    std::string failure_;
};

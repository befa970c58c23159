#pragma once
#include <windows.h>

#include <string>

// What became of one listed file.
enum class FileOutcome {
    Deleted, // the system took the deletion; whether the name is gone is checked by the caller
    Link,    // a link: removed itself where it is one the system knows, never its target; not counted
    Failed,  // left in place, for the reason in error
};

struct FileResult {
    FileOutcome outcome;
    DWORD error = ERROR_SUCCESS;
    // Of a file to be overwritten: why one that failed was left ("not overwritten: in use"), or why one
    // overwritten and deleted may still have copies of its bytes on the disk. Empty otherwise.
    std::string note = {};
};

#pragma once
#include "framework/Owners.h"

#include <windows.h>

#include <string>

// A file that a cleaner edits in place (a database, a settings file) while another component (SQLite, MSXML)
// opens it by name. It may be edited only when its path names the entry itself, reached through no link, and
// the file has no other name: anything else would change data that no item names. The file is held open
// meanwhile without delete sharing, so the entry cannot be renamed or replaced by a link.
class EditedFile {
public:
    enum class Check {
        Editable,
        Refused, // a link, reached through one, or a file with other names
        Failed,  // it could not be opened to be checked
    };

    // path as the user would write it. hold: keep the file open for the object's life; a file that its editor
    // deletes (a database's journal) is checked and let go.
    explicit EditedFile(const std::string& path, bool hold = true);

    Check Result() const { return check_; }
    // Why it is not editable, in words; empty when it is.
    const std::string& Reason() const { return reason_; }
    // Whether handle, opened by another component, is this same file.
    bool IsSameFile(HANDLE handle) const;

private:
    void Refuse(const char* reason);

    std::wstring path_;
    UniqueHandle file_;
    Check check_ = Check::Editable;
    std::string reason_;
};

#pragma once
#include "framework/Owners.h"

#include <windows.h>

#include "engine/files/FileResult.h"

#include <string>

// Deletes the files one walk lists, through a handle of the entry itself. The file is opened without
// sharing, so nobody else holds it and the name goes when the handle closes; a file another program holds
// with delete sharing goes only where the file system can drop its name at once (POSIX semantics). On a
// volume that does not report links as reparse points (a link to a file then lists as a plain file, and
// opening it opens its target), each file's name as the system holds it must be its listed path inside the
// walked folder. With overwrite, each file is overwritten, renamed and deleted on a handle of its own that
// also writes (OverwriteAndDelete); one that cannot be opened so is left, never deleted unoverwritten.
class FileDeleter {
public:
    // root: the walked folder in the walk's extended form, ending in a backslash.
    explicit FileDeleter(const std::wstring& root, bool overwrite = false);

    FileResult Delete(const std::wstring& path, DWORD attributes) const;
    // What Delete would do, deleting nothing.
    FileResult Preview(const std::wstring& path, DWORD attributes) const;
    // Whether the handle's file, as the system holds it, is the entry path names below the root, reached
    // through no link; asked of every volume, also one that reports its links.
    bool IsEntryItself(HANDLE file, const std::wstring& path) const;

private:
    struct Opened;
    Opened Open(const std::wstring& path, DWORD attributes) const;
    UniqueHandle OpenForWriting(const std::wstring& path, DWORD& error) const;
    FileResult DeleteOverwritten(const std::wstring& path, DWORD attributes) const;
    bool ResolvesElsewhere(HANDLE file, const std::wstring& path) const;

    size_t rootLength_;
    std::wstring rootFinal_; // the root's name as the system holds it, with a final backslash; or empty
    bool linksMayHide_ = true;
    bool dropsNamesAtOnce_ = false; // the volume can delete a file others hold, with POSIX semantics
    bool overwrite_;
};

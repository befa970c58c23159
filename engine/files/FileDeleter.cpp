#include "engine/files/FileDeleter.h"

#include "engine/files/Overwrite.h"
#include "framework/LowerCase.h"
#include "framework/Owners.h"

#include <winternl.h>

#include <vector>

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// FileDispositionInfoEx and its flags, which the headers declare only for newer targets than ours.
constexpr auto kDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDispositionDelete = 0x1;
constexpr DWORD kDispositionPosix = 0x2;
constexpr DWORD kDispositionIgnoreReadOnly = 0x10;
constexpr DWORD kSupportsPosixUnlinkRename = 0x400;

bool IsLink(DWORD attributes)
{
    return attributes & FILE_ATTRIBUTE_REPARSE_POINT;
}

// A link's attributes are left alone: setting them might reach its target.
bool IsReadOnlyFile(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_READONLY) && !IsLink(attributes);
}

// The name of the handle's file as the system holds it: where it really is, with its volume; empty if
// unknown. Asked of the handle alone, which under Wine costs one round trip less than the file's name.
std::wstring ObjectName(HANDLE handle)
{
    std::vector<char> buffer(sizeof(OBJECT_NAME_INFORMATION) + 1024 * sizeof(wchar_t));
    for (int attempt = 0; attempt < 3; ++attempt) {
        ULONG needed = 0;
        auto* info = reinterpret_cast<OBJECT_NAME_INFORMATION*>(buffer.data());
        NTSTATUS status =
            NtQueryObject(handle, ObjectNameInformation, info, static_cast<ULONG>(buffer.size()), &needed);
        if (NT_SUCCESS(status))
            return std::wstring(info->Name.Buffer, info->Name.Length / sizeof(wchar_t));
        if (needed <= buffer.size())
            return {};
        buffer.resize(needed);
    }
    return {};
}

// The path without the dots and blanks that end its parts, which Wine leaves out of an open file's name.
std::wstring WithoutFinalDotsAndBlanks(std::wstring_view path)
{
    std::wstring trimmed;
    for (size_t start = 0;;) {
        size_t end = path.find(L'\\', start);
        std::wstring_view part = path.substr(start, end == std::wstring_view::npos ? end : end - start);
        trimmed += part.substr(0, part.find_last_not_of(L". ") + 1); // npos + 1: nothing
        if (end == std::wstring_view::npos)
            return trimmed;
        trimmed += L'\\';
        start = end + 1;
    }
}

// Whether path is another name of the handle's file; unless nothing is found by it, anything unclear
// says it is.
bool NamesSameFile(const std::wstring& path, HANDLE file)
{
    UniqueHandle other(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!other) {
        DWORD error = GetLastError();
        return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
    }
    BY_HANDLE_FILE_INFORMATION mine;
    BY_HANDLE_FILE_INFORMATION its;
    return !GetFileInformationByHandle(file, &mine) || !GetFileInformationByHandle(other.get(), &its) ||
           (mine.dwVolumeSerialNumber == its.dwVolumeSerialNumber &&
            mine.nFileIndexHigh == its.nFileIndexHigh && mine.nFileIndexLow == its.nFileIndexLow);
}

bool MarkForDeletion(HANDLE file)
{
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof(disposition));
}

// Drops the name when this handle closes although others stay open; fails where that is not supported.
bool MarkForImmediateDeletion(HANDLE file)
{
    DWORD flags = kDispositionDelete | kDispositionPosix | kDispositionIgnoreReadOnly;
    return SetFileInformationByHandle(file, kDispositionInfoEx, &flags, sizeof(flags));
}

bool ClearAttributes(HANDLE file)
{
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof(basic));
}

} // namespace

struct FileDeleter::Opened {
    UniqueHandle file;
    bool shared = false; // another program holds the file, with delete sharing
    DWORD error = ERROR_SUCCESS;
};

FileDeleter::FileDeleter(const std::wstring& root, bool overwrite)
    : rootLength_(root.size()), overwrite_(overwrite)
{
    UniqueHandle folder(CreateFileW(root.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder)
        return;
    rootFinal_ = ObjectName(folder.get());
    if (!rootFinal_.empty() && rootFinal_.back() != L'\\')
        rootFinal_ += L'\\';
    DWORD flags = 0;
    if (GetVolumeInformationByHandleW(folder.get(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) {
        linksMayHide_ = !(flags & FILE_SUPPORTS_REPARSE_POINTS);
        dropsNamesAtOnce_ = flags & kSupportsPosixUnlinkRename;
    }
}

// The entry's own handle (a link's, never its target's) for deleting it, read-only files with the right
// to clear their flag.
FileDeleter::Opened FileDeleter::Open(const std::wstring& path, DWORD attributes) const
{
    DWORD access = IsReadOnlyFile(attributes) ? DELETE | FILE_WRITE_ATTRIBUTES : DELETE;
    Opened opened;
    for (DWORD share : {DWORD(0), kShareAll}) {
        opened.file.reset(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (opened.file)
            return opened;
        opened.error = GetLastError();
        if (opened.error != ERROR_SHARING_VIOLATION)
            return opened;
        opened.shared = true;
    }
    return opened;
}

bool FileDeleter::ResolvesElsewhere(HANDLE file, const std::wstring& path) const
{
    return linksMayHide_ && !IsEntryItself(file, path);
}

bool FileDeleter::IsEntryItself(HANDLE file, const std::wstring& path) const
{
    std::wstring_view relative = std::wstring_view(path).substr(rootLength_);
    std::wstring final = ObjectName(file);
    if (rootFinal_.empty() || final.size() < rootFinal_.size() ||
        !SameNameIgnoringCase(std::wstring_view(final).substr(0, rootFinal_.size()), rootFinal_))
        return false;
    std::wstring_view finalRelative = std::wstring_view(final).substr(rootFinal_.size());
    if (SameNameIgnoringCase(finalRelative, relative))
        return true;
    // Wine names the file without the final dots and blanks of its parts; it is still the listed one
    // unless that shorter name leads to the same file, as a link to its namesake would.
    std::wstring trimmed = WithoutFinalDotsAndBlanks(relative);
    return SameNameIgnoringCase(WithoutFinalDotsAndBlanks(finalRelative), trimmed) &&
           !NamesSameFile(path.substr(0, rootLength_) + trimmed, file);
}

// The entry's own handle for writing and deleting it, which nobody else may hold meanwhile.
UniqueHandle FileDeleter::OpenForWriting(const std::wstring& path, DWORD& error) const
{
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    error = file ? ERROR_SUCCESS : GetLastError();
    return file;
}

// A read-only file takes no writing handle: its flag goes first, on a handle that is checked as a
// deletion's is, and the writing one is checked again.
FileResult FileDeleter::DeleteOverwritten(const std::wstring& path, DWORD attributes) const
{
    if (IsReadOnlyFile(attributes)) {
        Opened opened = Open(path, attributes);
        if (!opened.file || opened.shared)
            return NotOverwritten(opened.file ? ERROR_SHARING_VIOLATION : opened.error);
        if (ResolvesElsewhere(opened.file.get(), path))
            return {FileOutcome::Link};
        if (!ClearAttributes(opened.file.get()))
            return NotOverwritten(GetLastError());
    }
    DWORD error;
    UniqueHandle file = OpenForWriting(path, error);
    if (!file)
        return NotOverwritten(error);
    if (ResolvesElsewhere(file.get(), path))
        return {FileOutcome::Link};
    return OverwriteAndDelete(file.get(), path);
}

FileResult FileDeleter::Delete(const std::wstring& path, DWORD attributes) const
{
    if (overwrite_ && !IsLink(attributes))
        return DeleteOverwritten(path, attributes);
    Opened opened = Open(path, attributes);
    if (!opened.file)
        return {FileOutcome::Failed, opened.error};
    HANDLE file = opened.file.get();
    if (IsLink(attributes)) {
        MarkForDeletion(file); // one that stays is no failure: nothing behind it was reached
        return {FileOutcome::Link};
    }
    if (ResolvesElsewhere(file, path))
        return {FileOutcome::Link};
    // Marking it for deletion while the holder keeps it open would only defer the deletion.
    if (opened.shared) {
        return dropsNamesAtOnce_ && MarkForImmediateDeletion(file)
                   ? FileResult{FileOutcome::Deleted}
                   : FileResult{FileOutcome::Failed, ERROR_SHARING_VIOLATION};
    }
    if ((IsReadOnlyFile(attributes) && !ClearAttributes(file)) || !MarkForDeletion(file))
        return {FileOutcome::Failed, GetLastError()};
    return {FileOutcome::Deleted};
}

FileResult FileDeleter::Preview(const std::wstring& path, DWORD attributes) const
{
    if (overwrite_ && !IsLink(attributes) && !IsReadOnlyFile(attributes)) {
        DWORD error;
        UniqueHandle file = OpenForWriting(path, error);
        if (!file)
            return NotOverwritten(error);
        return ResolvesElsewhere(file.get(), path) ? FileResult{FileOutcome::Link}
                                                   : FileResult{FileOutcome::Deleted};
    }
    Opened opened = Open(path, attributes);
    if (!opened.file)
        return overwrite_ && !IsLink(attributes) ? NotOverwritten(opened.error)
                                                 : FileResult{FileOutcome::Failed, opened.error};
    if (IsLink(attributes) || ResolvesElsewhere(opened.file.get(), path))
        return {FileOutcome::Link};
    if (opened.shared && overwrite_)
        return NotOverwritten(ERROR_SHARING_VIOLATION);
    if (opened.shared && !dropsNamesAtOnce_)
        return {FileOutcome::Failed, ERROR_SHARING_VIOLATION};
    return {FileOutcome::Deleted};
}

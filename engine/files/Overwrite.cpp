#include "engine/files/Overwrite.h"

#include "framework/ErrorText.h"
#include "framework/LowerCase.h"
#include "framework/Owners.h"

#include <algorithm>
#include <random>
#include <vector>

namespace {

constexpr DWORD kChunk = 1 << 20;
// Only ever read: what every overwrite writes.
char zeros[kChunk];

// The names of the file's streams other than its unnamed one (":name:$DATA") with their sizes; none
// where the file system has no streams or cannot tell.
std::vector<std::pair<std::wstring, uint64_t>> OtherStreams(HANDLE file)
{
    std::vector<std::pair<std::wstring, uint64_t>> streams;
    std::vector<char> buffer(4096);
    while (!GetFileInformationByHandleEx(file, FileStreamInfo, buffer.data(),
                                         static_cast<DWORD>(buffer.size()))) {
        if (GetLastError() != ERROR_MORE_DATA || buffer.size() >= (1 << 20))
            return streams;
        buffer.resize(buffer.size() * 4);
    }
    for (size_t offset = 0;;) {
        const auto* info = reinterpret_cast<const FILE_STREAM_INFO*>(buffer.data() + offset);
        std::wstring name(info->StreamName, info->StreamNameLength / sizeof(wchar_t));
        if (!name.empty() && name != L"::$DATA")
            streams.emplace_back(name, static_cast<uint64_t>(info->StreamSize.QuadPart));
        if (info->NextEntryOffset == 0)
            return streams;
        offset += info->NextEntryOffset;
    }
}

bool OverwriteOtherStreams(HANDLE file, const std::wstring& path)
{
    for (const auto& [name, size] : OtherStreams(file)) {
        UniqueHandle stream(
            CreateFileW((path + name).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!stream || !WriteZerosOver(stream.get(), size))
            return false;
    }
    return true;
}

// Where a write in place may land on other clusters than the ones that hold the old bytes.
const char* CopiesMayRemain(DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_COMPRESSED)
        return "compressed";
    if (attributes & FILE_ATTRIBUTE_ENCRYPTED)
        return "encrypted";
    if (attributes & FILE_ATTRIBUTE_SPARSE_FILE)
        return "sparse";
    return nullptr;
}

// Letters and digits only: valid in every file system, no dots or blanks at the end.
std::wstring RandomName(size_t length)
{
    static const wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, std::size(kLetters) - 2);
    std::wstring name(length, L'a');
    for (wchar_t& letter : name)
        letter = kLetters[pick(random)];
    return name;
}

// The path in the form the system's rename takes: \??\C:\... for \\?\C:\...
std::wstring NtPath(const std::wstring& path)
{
    return path.rfind(L"\\\\?\\", 0) == 0 ? L"\\??\\" + path.substr(4) : path;
}

bool RenameTo(HANDLE file, const std::wstring& target)
{
    std::wstring name = NtPath(target);
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::copy(name.begin(), name.end(), rename->FileName);
    return SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size()));
}

// Gives the handle's entry a random name of the same length beside its own; the new path, or empty when
// it keeps its name (a few names taken already, or a file system that refuses).
std::wstring RenameAtRandom(HANDLE file, const std::wstring& path)
{
    size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash + 1 == path.size())
        return {};
    std::wstring_view own = std::wstring_view(path).substr(slash + 1);
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::wstring name = RandomName(own.size());
        // Drawn as its own name, or that name in other case: a rename that would hide nothing.
        if (SameNameIgnoringCase(name, own))
            continue;
        std::wstring target = path.substr(0, slash + 1) + name;
        if (RenameTo(file, target))
            return target;
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS)
            return {};
    }
    return {};
}

bool MarkForDeletion(HANDLE file)
{
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof(disposition));
}

bool IsEmptyFolder(const std::wstring& path)
{
    WIN32_FIND_DATAW entry;
    FindHandle search(FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &entry,
                                       FindExSearchNameMatch, nullptr, 0));
    if (!search)
        return false;
    do {
        const wchar_t* name = entry.cFileName;
        if (!(name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'))))
            return false;
    } while (FindNextFileW(search.get(), &entry));
    return true;
}

} // namespace

bool WriteZerosOver(HANDLE stream, uint64_t size)
{
    for (uint64_t offset = 0; offset < size;) {
        DWORD part = static_cast<DWORD>(std::min<uint64_t>(size - offset, kChunk));
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD written = 0;
        if (!WriteFile(stream, zeros, part, &written, &at) || written == 0)
            return false;
        offset += written;
    }
    return FlushFileBuffers(stream);
}

FileResult NotOverwritten(DWORD error)
{
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return {FileOutcome::Failed, error};
    std::string why = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? "in use"
                      : error == ERROR_ACCESS_DENIED                                    ? "access denied"
                                                     : ErrorText(HRESULT_FROM_WIN32(error));
    return {FileOutcome::Failed, error, "not overwritten: " + why};
}

FileResult OverwriteAndDelete(HANDLE handle, const std::wstring& path)
{
    // Not GetFileInformationByHandle: its volume serial number costs more than the overwrite of a small file.
    FILE_STANDARD_INFO standard;
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof(standard)) ||
        !GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof(basic)))
        return NotOverwritten(GetLastError());
    if (standard.NumberOfLinks > 1)
        return {FileOutcome::Failed, ERROR_ACCESS_DENIED, "not overwritten: the file has other names"};
    if (!WriteZerosOver(handle, standard.EndOfFile.QuadPart) || !OverwriteOtherStreams(handle, path))
        return NotOverwritten(GetLastError());
    std::wstring renamed = RenameAtRandom(handle, path);
    if (!MarkForDeletion(handle)) {
        DWORD error = GetLastError();
        if (!renamed.empty())
            RenameTo(handle, path); // left, but by the name the user knows
        return {FileOutcome::Failed, error,
                "overwritten, not deleted: " + ErrorText(HRESULT_FROM_WIN32(error))};
    }
    const char* why = CopiesMayRemain(basic.FileAttributes);
    return {FileOutcome::Deleted, ERROR_SUCCESS,
            why ? std::string("overwritten, copies may remain (") + why + ")" : std::string()};
}

bool RemoveFolderRenamed(const std::wstring& path)
{
    if (!IsEmptyFolder(path))
        return false;
    UniqueHandle folder(CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!folder)
        return false;
    std::wstring renamed = RenameAtRandom(folder.get(), path);
    bool marked = MarkForDeletion(folder.get());
    if (!marked && !renamed.empty())
        RenameTo(folder.get(), path);
    folder.reset();
    if (!marked)
        return false;
    // Something was put into it between the look and the deletion: it stays, by its own name.
    const std::wstring& now = renamed.empty() ? path : renamed;
    if (GetFileAttributesW(now.c_str()) == INVALID_FILE_ATTRIBUTES)
        return true;
    if (!renamed.empty())
        MoveFileExW(renamed.c_str(), path.c_str(), 0);
    return false;
}

#include "engine/cleaners/FreeSpaceWipe.h"

#include "framework/ErrorText.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <memory>

const char kWipeFolderName[] = "Vestrel Free Space Wipe";

namespace {

// Large sequential blocks written past the cache keep the disk streaming.
constexpr DWORD kLargeBlock = 8u << 20;
// FAT32 holds no file of 4 GB or more.
constexpr uint64_t kLargeFileBytes = 1ull << 30;
// Small enough to lie inside one NTFS file record beside the file's name: such a file takes a free
// record and no cluster, as the small files deleted before did.
constexpr DWORD kSmallFileBytes = 600;
constexpr wchar_t kLargePrefix[] = L"fill";
constexpr wchar_t kSmallPrefix[] = L"record";
constexpr int kNumberDigits = 9;

bool IsDiskFull(DWORD error)
{
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
}

std::string ErrorOf(DWORD error)
{
    return ErrorText(HRESULT_FROM_WIN32(error));
}

struct PagesRelease {
    void operator()(void* pages) const { VirtualFree(pages, 0, MEM_RELEASE); }
};

// "D:", "D:\" or "d:/" as "D:\"; empty for anything else.
std::string DriveRootOf(const std::string& drive)
{
    if (drive.size() < 2 || drive.size() > 3 || drive[1] != ':')
        return {};
    if (drive.size() == 3 && drive[2] != '\\' && drive[2] != '/')
        return {};
    char letter = static_cast<char>(drive[0] & ~0x20);
    if (letter < 'A' || letter > 'Z')
        return {};
    return {letter, ':', '\\'};
}

bool IsLocalDrive(const std::string& root)
{
    UINT type = GetDriveTypeW(ToWide(root).c_str());
    return type == DRIVE_FIXED || type == DRIVE_REMOVABLE;
}

bool IsPlainFolder(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool HasPrefixAndNumber(const wchar_t* name, const wchar_t* prefix)
{
    size_t length = std::wcslen(prefix);
    if (std::wcsncmp(name, prefix, length) != 0 || std::wcslen(name) != length + kNumberDigits)
        return false;
    return std::all_of(name + length, name + length + kNumberDigits,
                       [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// Only names the wipe gives its files: whatever else someone put into the folder stays.
bool IsWipeFile(const WIN32_FIND_DATAW& entry)
{
    if (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    return HasPrefixAndNumber(entry.cFileName, kLargePrefix) ||
           HasPrefixAndNumber(entry.cFileName, kSmallPrefix);
}

// Deletes the wipe's files in the folder, then the folder; false, with each failure told, when anything
// stays. Passes repeat while they delete, since a folder listed while it shrinks may skip names.
bool RemoveWipeFolder(const std::wstring& folder, const std::string& shownFolder, EraseListener& listener)
{
    for (bool deleted = true; deleted;) {
        deleted = false;
        WIN32_FIND_DATAW entry;
        FindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
        if (!find)
            break;
        do {
            if (!IsWipeFile(entry))
                continue;
            if (DeleteFileW((folder + L"\\" + entry.cFileName).c_str()))
                deleted = true;
            else
                listener.OnFailure(shownFolder + "\\" + ToUtf8(entry.cFileName), ErrorOf(GetLastError()));
        } while (FindNextFileW(find.get(), &entry));
    }
    if (RemoveDirectoryW(folder.c_str()))
        return true;
    listener.OnFailure(shownFolder, ErrorOf(GetLastError()));
    return false;
}

// A running wipe holds its folder without delete sharing (MakeFolder): what is in it is not left over.
bool IsHeldByRunningWipe(const std::wstring& folder)
{
    UniqueHandle probe(
        CreateFileW(folder.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return !probe && GetLastError() == ERROR_SHARING_VIOLATION;
}

class Wipe {
public:
    Wipe(std::string root, const EraseOptions& options)
        : root_(std::move(root)),
          shownFolder_(root_ + kWipeFolderName),
          folder_(ToExtendedPath(shownFolder_)),
          options_(options),
          listener_(options.Listener())
    {
        result_.root = root_;
    }

    FreeSpaceWipeResult Run()
    {
        if (!MeasureDrive())
            return result_;
        listener_.OnFreeSpace(root_, result_.freeBefore);
        if (options_.Preview() || !MakeFolder())
            return result_;
        bool filled = FillClusters() && (result_.stopped || FillRecords());
        folderHandle_.reset();
        bool removed = RemoveWipeFolder(folder_, shownFolder_, listener_);
        result_.complete = filled && removed && !result_.stopped;
        return result_;
    }

private:
    bool Fail(const std::string& path, DWORD error)
    {
        listener_.OnFailure(path, "free space not wiped: " + ErrorOf(error));
        return false;
    }

    bool MeasureDrive()
    {
        std::wstring root = ToWide(root_);
        ULARGE_INTEGER available{}, total{}, free{};
        if (!GetDiskFreeSpaceExW(root.c_str(), &available, &total, &free))
            return Fail(root_, GetLastError());
        DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
        if (!GetDiskFreeSpaceW(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
            return Fail(root_, GetLastError());
        result_.freeBefore = available.QuadPart;
        cluster_ = std::max<DWORD>(sectorsPerCluster * bytesPerSector, 512);
        sector_ = std::max<DWORD>(bytesPerSector, 512);
        return true;
    }

    // A folder of the wipe's own, held open without delete sharing, so that nobody can put a link in its
    // place while files go into it. One left by a wipe that was cut short is emptied first.
    bool MakeFolder()
    {
        if (!CreateDirectoryW(folder_.c_str(), nullptr)) {
            DWORD error = GetLastError();
            if (error != ERROR_ALREADY_EXISTS)
                return Fail(shownFolder_, error);
            if (!IsPlainFolder(folder_)) {
                listener_.OnFailure(shownFolder_,
                                    "free space not wiped: a link or a file has the wipe folder's name");
                return false;
            }
            if (IsHeldByRunningWipe(folder_)) {
                listener_.OnFailure(shownFolder_,
                                    "free space not wiped: another wipe of this drive is running");
                return false;
            }
            if (!RemoveWipeFolder(folder_, shownFolder_, listener_))
                return false;
            if (!CreateDirectoryW(folder_.c_str(), nullptr))
                return Fail(shownFolder_, GetLastError());
        }
        SetFileAttributesW(folder_.c_str(), FILE_ATTRIBUTE_HIDDEN);
        folderHandle_.reset(CreateFileW(folder_.c_str(), FILE_LIST_DIRECTORY,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        BY_HANDLE_FILE_INFORMATION information{};
        if (!folderHandle_ || !GetFileInformationByHandle(folderHandle_.get(), &information))
            return Fail(shownFolder_, GetLastError());
        if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            listener_.OnFailure(shownFolder_, "free space not wiped: the wipe folder became a link");
            return false;
        }
        return true;
    }

    // A new file of the wipe; CREATE_NEW never opens what is there already, link or not.
    UniqueHandle NewFile(const wchar_t* prefix, uint64_t number, DWORD flags, DWORD& error)
    {
        wchar_t name[32];
        swprintf(name, 32, L"\\%ls%0*llu", prefix, kNumberDigits, static_cast<unsigned long long>(number));
        UniqueHandle file(CreateFileW((folder_ + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL | flags, nullptr));
        error = file ? 0 : GetLastError();
        return file;
    }

    void Written(uint64_t bytes)
    {
        result_.written += bytes;
        listener_.OnFilesHandled(0, bytes);
    }

    bool StopRequested()
    {
        result_.stopped = result_.stopped || options_.StopRequested();
        return result_.stopped;
    }

    // Files of zeros, each up to kLargeFileBytes, past the cache and through to the disk, until not even
    // one sector more fits: the last cluster is full then. A file system that held clusters back for
    // writes in flight (ext4 does) gives them up once the files are flushed, so rounds follow until one
    // writes nothing. False, told, on any failure but a full drive.
    bool FillClusters()
    {
        const DWORD largest = std::max(kLargeBlock, cluster_);
        std::unique_ptr<void, PagesRelease> zeros(
            VirtualAlloc(nullptr, largest, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)); // pages come zeroed
        if (!zeros)
            return Fail(root_, GetLastError());
        for (uint64_t before = UINT64_MAX; result_.written != before && !result_.stopped;) {
            before = result_.written;
            if (!FillRound(zeros.get(), largest))
                return false;
        }
        return true;
    }

    bool FillRound(const void* zeros, DWORD largest)
    {
        for (DWORD block = largest; block >= sector_;) {
            DWORD error = 0;
            UniqueHandle file = NewFile(kLargePrefix, result_.largeFiles,
                                        FILE_FLAG_NO_BUFFERING | FILE_FLAG_WRITE_THROUGH, error);
            if (!file)
                return IsDiskFull(error) || Fail(shownFolder_, error);
            ++result_.largeFiles;
            for (uint64_t size = 0; size + block <= kLargeFileBytes && block >= sector_;) {
                if (StopRequested())
                    return true;
                DWORD done = 0;
                bool wrote = WriteFile(file.get(), zeros, block, &done, nullptr);
                error = wrote ? ERROR_DISK_FULL : GetLastError();
                size += done;
                if (done)
                    Written(done);
                if (done == block)
                    continue;
                if (!IsDiskFull(error))
                    return Fail(shownFolder_, error);
                block /= 2; // sizes are powers of two: every block down to a sector stays a multiple of it
            }
            if (!FlushFileBuffers(file.get()))
                return Fail(shownFolder_, GetLastError());
        }
        return true;
    }

    // With the clusters full, small files go where the file system keeps them apart from clusters (the
    // free records of NTFS's master file table) until it takes no more. A file system without such
    // records refuses the first one's contents. False, told, on any failure but a full drive.
    bool FillRecords()
    {
        const char zeros[kSmallFileBytes] = {};
        for (;;) {
            if (StopRequested())
                return true;
            DWORD error = 0;
            UniqueHandle file = NewFile(kSmallPrefix, result_.smallFiles, FILE_FLAG_WRITE_THROUGH, error);
            if (!file)
                return IsDiskFull(error) || Fail(shownFolder_, error);
            ++result_.smallFiles;
            DWORD done = 0;
            if (!WriteFile(file.get(), zeros, kSmallFileBytes, &done, nullptr) || done != kSmallFileBytes) {
                error = GetLastError();
                return IsDiskFull(error) || Fail(shownFolder_, error);
            }
        }
    }

    std::string root_;
    std::string shownFolder_;
    std::wstring folder_;
    const EraseOptions& options_;
    EraseListener& listener_;
    FreeSpaceWipeResult result_;
    DWORD cluster_ = 512;
    // The smallest write past the cache; the file system's own clusters may be smaller than it says
    // (ext4's under Wine), and a sector fills what is left of the last one.
    DWORD sector_ = 512;
    UniqueHandle folderHandle_;
};

} // namespace

FreeSpaceWipeResult WipeFreeSpace(const std::string& driveRoot, const EraseOptions& options)
{
    std::string root = DriveRootOf(driveRoot);
    if (root.empty() || !IsLocalDrive(root)) {
        FreeSpaceWipeResult refused;
        refused.root = root.empty() ? driveRoot : root;
        options.Listener().OnFailure(refused.root, "free space not wiped: not a local drive");
        return refused;
    }
    return Wipe(root, options).Run();
}

std::string SystemDriveRoot()
{
    wchar_t folder[MAX_PATH] = {};
    UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH);
    if (length < 3 || length >= MAX_PATH)
        return {};
    return DriveRootOf(ToUtf8(std::wstring_view(folder, 3)));
}

void RemoveInterruptedWipes(const std::vector<std::string>& driveRoots)
{
    // A card reader without a card must not ask for one at every start.
    DWORD oldMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS, &oldMode);
    for (const std::string& root : driveRoots) {
        std::string normal = DriveRootOf(root);
        if (normal.empty() || !IsLocalDrive(normal))
            continue;
        std::string shown = normal + kWipeFolderName;
        std::wstring folder = ToExtendedPath(shown);
        if (IsPlainFolder(folder) && !IsHeldByRunningWipe(folder))
            RemoveWipeFolder(folder, shown, EraseOptions{}.Listener());
    }
    SetThreadErrorMode(oldMode, nullptr);
}

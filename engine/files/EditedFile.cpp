#include "engine/files/EditedFile.h"

#include "engine/files/FileDeleter.h"
#include "framework/ErrorText.h"
#include "framework/Utf8.h"

namespace {

// The root of the volume the extended path lies on: \\?\C:\ or \\?\UNC\server\share\ .
std::wstring VolumeRoot(const std::wstring& path)
{
    const std::wstring unc = L"\\\\?\\UNC\\";
    if (path.starts_with(unc)) {
        size_t server = path.find(L'\\', unc.size());
        size_t share = server == std::wstring::npos ? server : path.find(L'\\', server + 1);
        return share == std::wstring::npos ? std::wstring() : path.substr(0, share + 1);
    }
    return path.size() > 7 && path[5] == L':' && path[6] == L'\\' ? path.substr(0, 7) : std::wstring();
}

UniqueHandle OpenEntry(const std::wstring& path, DWORD share)
{
    return UniqueHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, share, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

bool Identify(HANDLE handle, BY_HANDLE_FILE_INFORMATION& info)
{
    return handle && handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, &info);
}

} // namespace

EditedFile::EditedFile(const std::string& path, bool hold) : path_(ToExtendedPath(path))
{
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | (hold ? 0 : FILE_SHARE_DELETE);
    file_ = OpenEntry(path_, share);
    DWORD error = file_ ? ERROR_SUCCESS : GetLastError();
    BY_HANDLE_FILE_INFORMATION info{};
    if (error == ERROR_SUCCESS && !GetFileInformationByHandle(file_.get(), &info))
        error = GetLastError();
    if (error != ERROR_SUCCESS) {
        check_ = Check::Failed;
        reason_ = ErrorText(HRESULT_FROM_WIN32(error));
        file_.reset();
        return;
    }
    std::wstring root = VolumeRoot(path_);
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        Refuse("a link, which is not followed");
    else if (root.empty() || !FileDeleter(root).IsEntryItself(file_.get(), path_))
        Refuse("reached through a link, which is not followed");
    else if (info.nNumberOfLinks != 1)
        Refuse("a file with other names (hard links), which an edit would change too");
    if (!hold)
        file_.reset();
}

void EditedFile::Refuse(const char* reason)
{
    check_ = Check::Refused;
    reason_ = reason;
}

bool EditedFile::IsSameFile(HANDLE handle) const
{
    BY_HANDLE_FILE_INFORMATION mine{};
    BY_HANDLE_FILE_INFORMATION theirs{};
    return Identify(file_.get(), mine) && Identify(handle, theirs) &&
           mine.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber &&
           mine.nFileIndexHigh == theirs.nFileIndexHigh && mine.nFileIndexLow == theirs.nFileIndexLow;
}

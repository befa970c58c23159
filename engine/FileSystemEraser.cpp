#include "engine/FileSystemEraser.h"

#include "engine/ErrorText.h"
#include "engine/FolderWalk.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

namespace {

// The walk's extended path as the user would write it.
std::string DisplayPath(const std::wstring& path)
{
    std::wstring_view view(path);
    if (view.starts_with(L"\\\\?\\UNC\\"))
        return "\\\\" + ToUtf8(view.substr(8));
    if (view.starts_with(L"\\\\?\\"))
        return ToUtf8(view.substr(4));
    return ToUtf8(view);
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Clears the read-only flag and deletes the file through one handle, where SetFileAttributesW and then
// DeleteFileW would open it twice. The handle is the link's own, never its target's. The reason it
// failed, or 0; read before the handle closes.
DWORD DeleteReadOnlyFile(const std::wstring& path)
{
    UniqueHandle file(CreateFileW(path.c_str(), DELETE | FILE_WRITE_ATTRIBUTES, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return GetLastError();
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    FILE_DISPOSITION_INFO disposition{TRUE};
    bool deleted =
        SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof(basic)) &&
        SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof(disposition));
    return deleted ? ERROR_SUCCESS : GetLastError();
}

bool IsReadOnlyFile(DWORD attributes)
{
    // A link's attributes are left alone: setting them might reach its target.
    return (attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Why an erase could not delete the file now, or 0: the preview opens it as the deletion would, a
// read-only file with the access that clears its flag, and lets it go.
DWORD PreviewDeletion(const std::wstring& path, DWORD attributes)
{
    DWORD access = IsReadOnlyFile(attributes) ? DELETE | FILE_WRITE_ATTRIBUTES : DELETE;
    UniqueHandle file(CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return file ? ERROR_SUCCESS : GetLastError();
}

// Deletes what the walk reaches, or in a preview only counts it. The listing gives each file's size and
// attributes, so an erase neither opens nor touches a file unless its read-only flag would stop the
// deletion.
class EraseVisitor final : public FolderVisitor {
public:
    EraseVisitor(uint32_t& files, uint32_t& bytes, const EraseOptions& options)
        : files_(files), bytes_(bytes), options_(options), listener_(options.Listener())
    {
    }

    void OnFile(const std::wstring& path, const WIN32_FIND_DATAW& entry) override
    {
        const FILETIME& written = entry.ftLastWriteTime;
        if (Kept(path, (uint64_t(written.dwHighDateTime) << 32) | written.dwLowDateTime))
            return;
        DWORD error = options_.Preview() ? PreviewDeletion(path, entry.dwFileAttributes)
                                         : DeleteEntry(path, entry.dwFileAttributes);
        if (error != ERROR_SUCCESS) {
            Failed(path, error);
            return;
        }
        ++files_;
        bytes_ += entry.nFileSizeLow;
        listener_.OnFile(DisplayPath(path), (uint64_t(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow);
    }

    // Removes the link itself, never what it points to. Links count for nothing, and one that stays
    // (some file systems cannot remove a link this way) is no failure: nothing behind it was reached.
    void OnFolderLink(const std::wstring& path) override
    {
        if (Kept(path, 0))
            return;
        listener_.OnFolderLink(DisplayPath(path));
        if (!options_.Preview())
            RemoveDirectoryW(path.c_str());
    }

    // Gone when it is empty; what kept it there was told as it was reached.
    void OnFolderDone(const std::wstring& path) override
    {
        if (!options_.Preview() && !Kept(path, 0))
            RemoveDirectoryW(path.c_str());
    }

private:
    bool Kept(const std::wstring& path, uint64_t lastWrite) const
    {
        return options_.filter && options_.filter->Keeps(DisplayPath(path), lastWrite);
    }

    static DWORD DeleteEntry(const std::wstring& path, DWORD attributes)
    {
        if (IsReadOnlyFile(attributes))
            return DeleteReadOnlyFile(path);
        return DeleteFileW(path.c_str()) ? ERROR_SUCCESS : GetLastError();
    }

    // An entry that vanished since the listing was not kept by anything.
    void Failed(const std::wstring& path, DWORD error)
    {
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            listener_.OnFailure(DisplayPath(path), ErrorText(HRESULT_FROM_WIN32(error)));
    }

    uint32_t& files_;
    uint32_t& bytes_;
    const EraseOptions& options_;
    EraseListener& listener_;
};

} // namespace

void DeleteInFolder(const std::string& folder, const std::string& pattern, bool recurse, uint32_t& files,
                    uint32_t& bytes, const EraseOptions& options)
{
    EraseVisitor visitor(files, bytes, options);
    WalkFolder(folder, pattern, recurse, visitor);
}

void DeleteInEveryFolder(const std::string& folder, const std::string& pattern, uint32_t& files,
                         uint32_t& bytes, const EraseOptions& options)
{
    EraseVisitor visitor(files, bytes, options);
    WalkFolder(folder, pattern, true, visitor, true);
}

std::string FolderOfPatternPath(const std::string& path)
{
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void DeleteFilesByPattern(const std::string& path, bool recurse, uint32_t& files, uint32_t& bytes,
                          const EraseOptions& options)
{
    std::string folder = FolderOfPatternPath(path);
    DeleteInFolder(folder, path.substr(folder.size()), recurse, files, bytes, options);
}

std::vector<std::string> GetDriveRoots()
{
    std::wstring text(128, L'\0');
    for (;;) {
        DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(text.size()), text.data());
        if (length == 0)
            return {};
        if (length < text.size()) {
            text.resize(length);
            break;
        }
        text.resize(length + 1);
    }
    std::vector<std::string> roots;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(L'\0', start);
        if (end == std::wstring::npos)
            end = text.size();
        if (end > start)
            roots.push_back(ToUtf8(std::wstring_view(text).substr(start, end - start)));
        start = end + 1;
    }
    return roots;
}

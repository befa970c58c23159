#include "engine/FileSystemEraser.h"

#include "engine/FolderWalk.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

namespace {

// Clears the read-only flag and deletes the file through one handle, where SetFileAttributesW and then
// DeleteFileW would open it twice. The handle is the link's own, never its target's.
bool DeleteReadOnlyFile(const std::wstring& path)
{
    const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    UniqueHandle file(CreateFileW(path.c_str(), DELETE | FILE_WRITE_ATTRIBUTES, shareAll, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return false;
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof(basic)) &&
           SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof(disposition));
}

// Deletes what the walk reaches. The listing gives each file's size and attributes, so a file is
// neither opened nor touched unless its read-only flag would stop the deletion.
class EraseVisitor final : public FolderVisitor {
public:
    EraseVisitor(uint32_t& files, uint32_t& bytes) : files_(files), bytes_(bytes) {}

    void OnFile(const std::wstring& path, const WIN32_FIND_DATAW& entry) override
    {
        DWORD attributes = entry.dwFileAttributes;
        // A link's attributes are left alone: setting them might reach its target.
        bool readOnly =
            (attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        if (readOnly ? DeleteReadOnlyFile(path) : DeleteFileW(path.c_str()) != FALSE) {
            ++files_;
            bytes_ += entry.nFileSizeLow;
        }
    }

    // Removes the link itself, never what it points to.
    void OnFolderLink(const std::wstring& path) override { RemoveDirectoryW(path.c_str()); }

    void OnFolderDone(const std::wstring& path) override { RemoveDirectoryW(path.c_str()); }

private:
    uint32_t& files_;
    uint32_t& bytes_;
};

} // namespace

void DeleteInFolder(const std::string& folder, const std::string& pattern, bool recurse, uint32_t& files,
                    uint32_t& bytes)
{
    EraseVisitor visitor(files, bytes);
    WalkFolder(folder, pattern, recurse, visitor);
}

std::string FolderOfPatternPath(const std::string& path)
{
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void DeleteFilesByPattern(const std::string& path, bool recurse, uint32_t& files, uint32_t& bytes)
{
    std::string folder = FolderOfPatternPath(path);
    DeleteInFolder(folder, path.substr(folder.size()), recurse, files, bytes);
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

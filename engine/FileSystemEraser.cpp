#include "engine/FileSystemEraser.h"

#include "engine/ErrorText.h"
#include "engine/FileDeleter.h"
#include "engine/FolderWalk.h"
#include "engine/ResolvedPath.h"
#include "engine/WorkerPair.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <atomic>
#include <cwchar>
#include <optional>

namespace {

bool IsMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Why a file or folder that its folder lists is left when the system finds nothing by its listed name.
std::string UnopenableNameText()
{
    return ErrorText(HRESULT_FROM_WIN32(ERROR_INVALID_NAME));
}

// Deletes what the walk reaches, or in a preview only counts it. The listing gives each file's size and
// attributes. A deleted file counts once its name is gone from its folder: certainly when the folder
// itself could be removed, else when a fresh listing of the folder no longer holds it. Files are told
// folder by folder, as each is done.
class EraseVisitor final : public FolderVisitor {
public:
    EraseVisitor(const std::wstring& root, uint64_t& files, uint64_t& bytes, const EraseOptions& options)
        : deleter_(root), files_(files), bytes_(bytes), options_(options), listener_(options.Listener())
    {
    }

    void OnFile(const std::wstring& path, const WIN32_FIND_DATAW& entry) override
    {
        const FILETIME& written = entry.ftLastWriteTime;
        if (Kept(path, (uint64_t(written.dwHighDateTime) << 32) | written.dwLowDateTime))
            return;
        uint64_t size = (uint64_t(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
        pending_.push_back(
            {path, path.size() - wcslen(entry.cFileName) - 1, size, entry.dwFileAttributes, {}});
        if (pending_.size() == kMostPending)
            DeletePending();
    }

    // Removes the link itself, never what it points to. Links count for nothing, and one that stays
    // (some file systems cannot remove a link this way) is no failure: nothing behind it was reached.
    void OnFolderLink(const std::wstring& path) override
    {
        DeletePending();
        if (Kept(path, 0))
            return;
        listener_.OnFolderLink(FromExtendedPath(path));
        if (!options_.Preview())
            RemoveDirectoryW(path.c_str());
    }

    // A matching one goes when it is empty; what kept it there was told as it was reached.
    void OnFolderDone(const std::wstring& path, bool matched) override
    {
        DeletePending();
        bool removed = options_.Preview() || (matched && !Kept(path, 0) && RemoveDirectoryW(path.c_str()));
        Settle(path, removed);
    }

    // What is in it stays, unseen: told as a failure of the folder (with its final backslash), by the
    // reason the system gave, as a file that could not be deleted is; unless the item keeps the folder.
    void OnUnlistable(const std::wstring& path, unsigned long error) override
    {
        DeletePending();
        if (!Kept(path.substr(0, path.size() - 1), 0))
            listener_.OnUnlistedFolder(FromExtendedPath(path), ErrorText(HRESULT_FROM_WIN32(error)));
    }

    bool StopRequested() const override { return options_.StopRequested(); }

    // The walked folder, which stays.
    void OnWalkDone(const std::wstring& root)
    {
        DeletePending();
        Settle(root.substr(0, root.size() - 1), options_.Preview());
    }

private:
    struct Deleted {
        std::wstring path;
        size_t folderLength; // of its folder in path; the name may hold what looks like a backslash
        uint64_t size;
        bool opened; // false: the system found nothing by the listed name
    };

    struct Pending {
        std::wstring path;
        size_t folderLength;
        uint64_t size;
        DWORD attributes;
        std::optional<FileResult> result; // none: the work was stopped before it
    };

    // The files listed since the last call go, two at a time: each waits mostly for the system, so two
    // threads keep it busy. What became of each is then told in the order they were listed.
    void DeletePending()
    {
        std::atomic<size_t> next = 0;
        auto work = [this, &next] {
            for (size_t index; (index = next++) < pending_.size() && !options_.StopRequested();) {
                Pending& file = pending_[index];
                file.result = options_.Preview() ? deleter_.Preview(file.path, file.attributes)
                                                 : deleter_.Delete(file.path, file.attributes);
            }
        };
        if (pending_.size() > 1)
            workers_.Run(work);
        else
            work();
        uint64_t handled = 0;
        uint64_t handledBytes = 0;
        for (const Pending& file : pending_) {
            if (file.result) {
                Record(file, *file.result);
                ++handled;
                handledBytes += file.size;
            }
        }
        if (handled)
            listener_.OnFilesHandled(handled, handledBytes);
        pending_.clear();
    }

    void Record(const Pending& file, FileResult result)
    {
        if (result.outcome == FileOutcome::Link)
            listener_.OnFolderLink(FromExtendedPath(file.path));
        else if (result.outcome == FileOutcome::Deleted)
            deleted_.push_back({file.path, file.folderLength, file.size, true});
        else if (IsMissing(result.error)) // gone since the listing, or a name that does not open
            deleted_.push_back({file.path, file.folderLength, file.size, false});
        else
            listener_.OnFailure(FromExtendedPath(file.path), ErrorText(HRESULT_FROM_WIN32(result.error)));
    }

    bool Kept(const std::wstring& path, uint64_t lastWrite) const
    {
        return options_.filter && options_.filter->Keeps(FromExtendedPath(path), lastWrite);
    }

    // Counts the files deleted directly in folder (the last ones recorded, as the walk is depth first),
    // in the same order for a preview, which counts each as gone. A file the system found nothing by
    // its listed name counts nothing; if the folder still lists it, its name is one the system cannot
    // open, and it is told as left.
    void Settle(const std::wstring& folder, bool removed)
    {
        auto inFolder = [&folder](const Deleted& file) {
            return file.folderLength == folder.size() && file.path.compare(0, folder.size(), folder) == 0;
        };
        auto first = deleted_.end();
        bool unopened = false;
        while (first != deleted_.begin() && inFolder(*(first - 1))) {
            --first;
            unopened |= !first->opened;
        }
        if (first == deleted_.end())
            return;
        std::unordered_set<std::wstring> left;
        if (!removed || unopened)
            left = NamesInFolder(folder);
        for (auto file = first; file != deleted_.end(); ++file) {
            bool listed = left.contains(file->path.substr(folder.size() + 1));
            if (!file->opened) {
                if (listed)
                    listener_.OnFailure(FromExtendedPath(file->path), UnopenableNameText());
            } else if (listed && !removed) {
                listener_.OnFailure(FromExtendedPath(file->path), kStillThere);
            } else {
                Count(file->path, file->size);
            }
        }
        deleted_.erase(first, deleted_.end());
    }

    void Count(const std::wstring& path, uint64_t size)
    {
        ++files_;
        bytes_ += size;
        listener_.OnFile(FromExtendedPath(path), size);
    }

    static constexpr const char* kStillThere =
        "still there after its deletion: another program holds it open, or the file system keeps it";

    // Enough files at a time to keep both threads busy; few enough to keep the memory flat.
    static constexpr size_t kMostPending = 256;

    FileDeleter deleter_;
    std::vector<Pending> pending_; // listed, not yet deleted
    WorkerPair workers_;
    std::vector<Deleted> deleted_; // deleted, not yet seen gone
    uint64_t& files_;
    uint64_t& bytes_;
    const EraseOptions& options_;
    EraseListener& listener_;
};

void Walk(const std::string& folder, const std::string& pattern, bool recurse, bool everySubfolder,
          uint64_t& files, uint64_t& bytes, const EraseOptions& options)
{
    std::wstring root = WalkRoot(folder);
    EraseVisitor visitor(root, files, bytes, options);
    WalkFolder(folder, pattern, recurse, visitor, everySubfolder);
    visitor.OnWalkDone(root);
}

} // namespace

void DeleteInFolder(const std::string& folder, const std::string& pattern, bool recurse, uint64_t& files,
                    uint64_t& bytes, const EraseOptions& options)
{
    Walk(folder, pattern, recurse, false, files, bytes, options);
}

void DeleteInEveryFolder(const std::string& folder, const std::string& pattern, uint64_t& files,
                         uint64_t& bytes, const EraseOptions& options)
{
    Walk(folder, pattern, true, true, files, bytes, options);
}

std::string FolderOfPatternPath(const std::string& path)
{
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void DeleteFilesByPattern(const std::string& path, bool recurse, uint64_t& files, uint64_t& bytes,
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

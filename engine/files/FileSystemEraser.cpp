#include "engine/files/FileSystemEraser.h"

#include "engine/files/FileDeleter.h"
#include "engine/files/FolderWalk.h"
#include "engine/files/Overwrite.h"
#include "engine/files/ResolvedPath.h"
#include "framework/ErrorText.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <cwchar>
#include <optional>
#include <utility>

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
// itself could be removed, else when a fresh listing of the folder no longer holds it. What the walk
// reaches is queued in batches: the files of one batch are deleted first, then the rest of it (links,
// finished folders) is done in the order it was reached, which is also the order it is told in. One
// thread does it all: the system serves one file at a time anyway, and threads beside it only slowed
// the deletion down.
class EraseVisitor final : public FolderVisitor {
public:
    EraseVisitor(const std::wstring& root, uint64_t& files, uint64_t& bytes, const EraseOptions& options)
        : deleter_(root, options.secureDeletion),
          files_(files),
          bytes_(bytes),
          options_(options),
          listener_(options.Listener())
    {
    }

    void OnFile(const std::wstring& path, const WIN32_FIND_DATAW& entry) override
    {
        const FILETIME& written = entry.ftLastWriteTime;
        if (Kept(path, (uint64_t(written.dwHighDateTime) << 32) | written.dwLowDateTime))
            return;
        uint64_t size = (uint64_t(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
        Queue({Step::File, path, path.size() - wcslen(entry.cFileName) - 1, size, entry.dwFileAttributes});
    }

    void OnFolderLink(const std::wstring& path) override { Queue({Step::FolderLink, path}); }

    void OnFolderDone(const std::wstring& path, bool matched) override
    {
        Queue({.kind = Step::FolderDone, .path = path, .matched = matched});
    }

    void OnUnlistable(const std::wstring& path, unsigned long error) override
    {
        Queue({.kind = Step::Unlistable, .path = path, .error = error});
    }

    bool StopRequested() const override { return options_.StopRequested(); }

    // The walked folder, which stays.
    void OnWalkDone(const std::wstring& root)
    {
        DoBatch();
        Settle(root.substr(0, root.size() - 1), options_.Preview());
    }

private:
    struct Deleted {
        std::wstring path;
        size_t folderLength; // of its folder in path; the name may hold what looks like a backslash
        uint64_t size;
        bool opened;           // false: the system found nothing by the listed name
        std::string note = {}; // why copies of an overwritten file's bytes may remain
    };

    // One thing the walk reached, not yet done.
    struct Step {
        enum Kind { File, FolderLink, FolderDone, Unlistable } kind;
        std::wstring path;
        size_t folderLength = 0; // a file's: of its folder in path
        uint64_t size = 0;
        DWORD attributes = 0;
        bool matched = false;                  // a finished folder's own name matches
        unsigned long error = 0;               // why a folder could not be listed
        std::optional<FileResult> result = {}; // a file's; none: the work was stopped before it
    };

    void Queue(Step step)
    {
        listed_.push_back(std::move(step));
        if (listed_.size() == kMostPending)
            DoBatch();
    }

    void DoBatch()
    {
        DeleteFiles();
        FinishBatch(listed_);
        listed_.clear();
    }

    void DeleteFiles()
    {
        for (Step& file : listed_) {
            if (options_.StopRequested())
                return;
            if (file.kind == Step::File)
                file.result = options_.Preview() ? deleter_.Preview(file.path, file.attributes)
                                                 : deleter_.Delete(file.path, file.attributes);
        }
    }

    // A stopped preview tells nothing more, having changed nothing; what an erase deleted is told. The
    // batch's files are told as handled too, so that a bar moves inside a folder of thousands.
    void FinishBatch(const std::vector<Step>& batch)
    {
        uint64_t handled = 0;
        uint64_t handledBytes = 0;
        for (const Step& step : batch) {
            if (options_.Preview() && options_.StopRequested())
                break;
            Finish(step);
            if (step.kind == Step::File && step.result) {
                ++handled;
                handledBytes += step.size;
            }
        }
        if (handled)
            listener_.OnFilesHandled(handled, handledBytes);
    }

    void Finish(const Step& step)
    {
        switch (step.kind) {
        case Step::File:
            if (step.result)
                Record(step, *step.result);
            break;
        case Step::FolderLink:
            RemoveFolderLink(step.path);
            break;
        case Step::FolderDone: // a matching one goes when empty; what kept it was told as it was reached
            Settle(step.path,
                   options_.Preview() || (step.matched && !Kept(step.path, 0) && RemoveFolder(step.path)));
            break;
        case Step::Unlistable:
            TellUnlistable(step.path, step.error);
            break;
        }
    }

    // An overwriting erase leaves no folder's name behind either.
    bool RemoveFolder(const std::wstring& path) const
    {
        return options_.secureDeletion ? RemoveFolderRenamed(path) : RemoveDirectoryW(path.c_str()) != FALSE;
    }

    // Removes the link itself, never what it points to. Links count for nothing, and one that stays
    // (some file systems cannot remove a link this way) is no failure: nothing behind it was reached.
    void RemoveFolderLink(const std::wstring& path)
    {
        if (Kept(path, 0))
            return;
        listener_.OnFolderLink(FromExtendedPath(path));
        if (!options_.Preview())
            RemoveDirectoryW(path.c_str());
    }

    // What is in it stays, unseen: told as a failure of the folder (with its final backslash), by the
    // reason the system gave, as a file that could not be deleted is; unless the item keeps the folder.
    void TellUnlistable(const std::wstring& path, unsigned long error)
    {
        if (!Kept(path.substr(0, path.size() - 1), 0))
            listener_.OnUnlistedFolder(FromExtendedPath(path), ErrorText(HRESULT_FROM_WIN32(error)));
    }

    void Record(const Step& file, FileResult result)
    {
        if (result.outcome == FileOutcome::Link)
            listener_.OnFolderLink(FromExtendedPath(file.path));
        else if (result.outcome == FileOutcome::Deleted)
            deleted_.push_back({file.path, file.folderLength, file.size, true, std::move(result.note)});
        else if (IsMissing(result.error)) // gone since the listing, or a name that does not open
            deleted_.push_back({file.path, file.folderLength, file.size, false});
        else if (!result.note.empty())
            listener_.OnNotOverwritten(FromExtendedPath(file.path), result.note);
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
                Count(file->path, file->size, file->note);
            }
        }
        deleted_.erase(first, deleted_.end());
    }

    void Count(const std::wstring& path, uint64_t size, const std::string& note)
    {
        ++files_;
        bytes_ += size;
        std::string told = FromExtendedPath(path);
        listener_.OnFile(told, size);
        if (!note.empty())
            listener_.OnOverwriteCaveat(told, note);
    }

    static constexpr const char* kStillThere =
        "still there after its deletion: another program holds it open, or the file system keeps it";

    // Told as handled a batch at a time, so that a bar moves inside a folder of thousands; few enough
    // to keep the memory flat.
    static constexpr size_t kMostPending = 256;

    FileDeleter deleter_;
    std::vector<Step> listed_;     // reached, not yet done
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

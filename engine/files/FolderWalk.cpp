#include "engine/files/FolderWalk.h"

#include "engine/files/NamePattern.h"
#include "engine/files/ResolvedPath.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <vector>

namespace {

bool IsDotEntry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

class FolderWalker {
public:
    FolderWalker(std::wstring folder, const std::string& pattern, bool recurse, bool everySubfolder,
                 FolderVisitor& visitor)
        : path_(std::move(folder)),
          pattern_(pattern),
          recurse_(recurse),
          everySubfolder_(everySubfolder),
          visitor_(visitor)
    {
    }

    void Run();

private:
    // One open search; path_ holds its folder (with the final backslash) in its first folderLength
    // characters.
    struct Level {
        FindHandle search;
        size_t folderLength;
        bool matched; // the folder's own name matches the pattern
    };

    bool Enter(bool matched);
    bool StillListed() const;
    bool NextEntry();
    bool Visit();
    void LeaveSubfolders();

    std::wstring path_;
    NamePattern pattern_;
    bool recurse_;
    bool everySubfolder_; // every subfolder is entered; the pattern picks the files and removed folders
    FolderVisitor& visitor_;
    std::vector<Level> levels_;
    WIN32_FIND_DATAW entry_{};
};

void FolderWalker::Run()
{
    if (!Enter(false))
        return;
    for (;;) {
        if (visitor_.StopRequested()) {
            LeaveSubfolders();
            return;
        }
        if (Visit())
            continue; // entered a subfolder, whose first entry is in entry_
        while (!NextEntry()) {
            bool matched = levels_.back().matched;
            levels_.pop_back();
            if (levels_.empty())
                return;
            path_.pop_back(); // the finished subfolder, without its final backslash
            visitor_.OnFolderDone(path_, matched);
        }
    }
}

// A stopped walk closes its searches from the innermost out, reporting each subfolder done as a finished
// walk would, so that what was reached inside them is told.
void FolderWalker::LeaveSubfolders()
{
    while (levels_.size() > 1) {
        bool matched = levels_.back().matched;
        path_.resize(levels_.back().folderLength - 1); // the subfolder, without its final backslash
        levels_.pop_back();
        visitor_.OnFolderDone(path_, matched);
    }
}

// Opens the search of the folder in path_ (ending in a backslash) with its first entry in entry_. The
// search lists everything: the system's own matching differs between systems and also tries short names.
bool FolderWalker::Enter(bool matched)
{
    size_t folderLength = path_.size();
    path_ += L'*';
    HANDLE search = FindFirstFileExW(path_.c_str(), FindExInfoBasic, &entry_, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    path_.resize(folderLength);
    if (search == INVALID_HANDLE_VALUE) {
        // No folder there (none, gone since it was listed, or a file in its place; Wine tells a file by
        // ERROR_INVALID_NAME), or an empty drive root: nothing was left unseen. Anything else, most
        // often a folder the user may not list, hides what is in it.
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND && error != ERROR_DIRECTORY &&
            error != ERROR_INVALID_NAME)
            visitor_.OnUnlistable(path_, error);
        else if (!levels_.empty() && StillListed())
            visitor_.OnUnlistable(path_, ERROR_INVALID_NAME);
        return false;
    }
    levels_.push_back({FindHandle(search), folderLength, matched});
    return true;
}

// Whether the subfolder in path_, which could not be found by its name, is still listed in its folder:
// its name is then one the system lists but cannot open (the search itself stays open meanwhile).
bool FolderWalker::StillListed() const
{
    size_t parentLength = levels_.back().folderLength;
    std::wstring name = path_.substr(parentLength, path_.size() - parentLength - 1);
    return NamesInFolder(path_.substr(0, parentLength - 1)).contains(name);
}

// Moves entry_ to the next entry of the innermost search; false when it has none left.
bool FolderWalker::NextEntry()
{
    Level& level = levels_.back();
    path_.resize(level.folderLength);
    return FindNextFileW(level.search.get(), &entry_) != FALSE;
}

// Hands the entry to the visitor or, for a subfolder to walk, opens its search; true when it did that.
bool FolderWalker::Visit()
{
    if (IsDotEntry(entry_.cFileName))
        return false;
    bool matched = pattern_.Matches(entry_.cFileName);
    DWORD attributes = entry_.dwFileAttributes;
    bool folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
    if (!matched && !(folder && everySubfolder_))
        return false;
    path_.resize(levels_.back().folderLength);
    path_ += entry_.cFileName;
    if (!folder) {
        visitor_.OnFile(path_, entry_);
        return false;
    }
    if (!recurse_)
        return false;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        if (matched)
            visitor_.OnFolderLink(path_);
        return false;
    }
    path_ += L'\\';
    if (Enter(matched))
        return true;
    path_.pop_back();
    visitor_.OnFolderDone(path_, matched); // nothing inside to visit
    return false;
}

} // namespace

std::wstring WalkRoot(const std::string& folder)
{
    return OnDiskSpelling(ToExtendedPath(folder.empty() || folder.back() != '\\' ? folder + '\\' : folder));
}

void WalkFolder(const std::string& folder, const std::string& pattern, bool recurse, FolderVisitor& visitor,
                bool everySubfolder)
{
    if (pattern.empty())
        return;
    FolderWalker(WalkRoot(folder), pattern, recurse || everySubfolder, everySubfolder, visitor).Run();
}

std::unordered_set<std::wstring> NamesInFolder(const std::wstring& folder)
{
    std::unordered_set<std::wstring> names;
    WIN32_FIND_DATAW entry;
    FindHandle search(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &entry,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!search)
        return names;
    do {
        names.insert(entry.cFileName);
    } while (FindNextFileW(search.get(), &entry));
    return names;
}

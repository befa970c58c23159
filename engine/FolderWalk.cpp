#include "engine/FolderWalk.h"

#include "engine/PathExpansion.h"
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
    FolderWalker(std::wstring folder, std::wstring pattern, bool recurse, bool everySubfolder,
                 FolderVisitor& visitor)
        : path_(std::move(folder)), pattern_(std::move(pattern)), recurse_(recurse),
          everySubfolder_(everySubfolder), visitor_(visitor)
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
    bool Matches(const wchar_t* name) const;
    bool NextEntry();
    bool Visit();

    std::wstring path_;
    std::wstring pattern_;
    bool recurse_;
    bool everySubfolder_; // the search lists everything; the pattern picks the files and removed folders
    FolderVisitor& visitor_;
    std::vector<Level> levels_;
    WIN32_FIND_DATAW entry_{};
};

void FolderWalker::Run()
{
    if (!Enter(false))
        return;
    for (;;) {
        if (Visit())
            continue; // entered a subfolder, whose first entry is in entry_
        while (!NextEntry()) {
            bool matched = levels_.back().matched;
            levels_.pop_back();
            if (levels_.empty())
                return;
            path_.pop_back(); // the finished subfolder, without its final backslash
            if (matched)
                visitor_.OnFolderDone(path_);
        }
    }
}

// Opens the search of the folder in path_ (ending in a backslash) with its first entry in entry_.
bool FolderWalker::Enter(bool matched)
{
    size_t folderLength = path_.size();
    path_ += everySubfolder_ ? L"*" : pattern_;
    HANDLE search = FindFirstFileExW(path_.c_str(), FindExInfoBasic, &entry_, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    path_.resize(folderLength);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    levels_.push_back({FindHandle(search), folderLength, matched});
    return true;
}

bool FolderWalker::Matches(const wchar_t* name) const
{
    return !everySubfolder_ || MatchesWildcard(name, pattern_);
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
    path_.resize(levels_.back().folderLength);
    path_ += entry_.cFileName;
    DWORD attributes = entry_.dwFileAttributes;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (Matches(entry_.cFileName))
            visitor_.OnFile(path_, entry_);
        return false;
    }
    if (!recurse_)
        return false;
    bool matched = Matches(entry_.cFileName);
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        if (matched)
            visitor_.OnFolderLink(path_);
        return false;
    }
    path_ += L'\\';
    if (Enter(matched))
        return true;
    path_.pop_back();
    if (matched)
        visitor_.OnFolderDone(path_); // nothing inside matched
    return false;
}

} // namespace

void WalkFolder(const std::string& folder, const std::string& pattern, bool recurse, FolderVisitor& visitor,
                bool everySubfolder)
{
    if (pattern.empty())
        return;
    std::string withSlash = folder.empty() || folder.back() != '\\' ? folder + '\\' : folder;
    // "*.*" means every name to the system's search, also one without a dot.
    std::wstring widePattern = everySubfolder && pattern == "*.*" ? L"*" : ToWide(pattern);
    FolderWalker(ToExtendedPath(withSlash), widePattern, recurse || everySubfolder, everySubfolder, visitor)
        .Run();
}

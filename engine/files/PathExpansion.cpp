#include "engine/files/PathExpansion.h"

#include "engine/files/NamePattern.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <windows.h>

namespace {

constexpr char kUnwritableName[] = "its name is not valid Unicode, so no path can name it";

bool HasWildcard(std::string_view text)
{
    return text.find_first_of("*?") != std::string_view::npos;
}

std::vector<std::string> SplitParts(const std::string& path)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t slash; (slash = path.find('\\', start)) != std::string::npos; start = slash + 1)
        parts.push_back(path.substr(start, slash - start));
    parts.push_back(path.substr(start));
    return parts;
}

bool IsDotEntry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// The path of a listed folder in parent. Win32 drops a final dot or blank from a name in a plain path,
// so such a name is kept in the extended form, which reaches the file system as it stands. Empty when
// the name cannot be written in UTF-8 at all (UTF-16 that is not valid Unicode).
std::string SubfolderPath(const std::string& parent, const std::wstring& name)
{
    std::string utf8 = ToUtf8(name);
    if (ToWide(utf8) != name)
        return {};
    if (name.back() == L'.' || name.back() == L' ')
        return ToUtf8(ToExtendedPath(parent + "\\")) + utf8;
    return parent + "\\" + utf8;
}

// The real folders (no links) directly in parent whose names match the pattern as file names do. The
// search lists everything: the system's own matching differs between systems and also tries short names.
std::vector<std::string> MatchingFolders(const std::string& parent, const std::string& pattern,
                                         EraseListener& listener)
{
    std::vector<std::string> found;
    NamePattern names(pattern);
    WIN32_FIND_DATAW entry;
    FindHandle search(FindFirstFileExW((ToExtendedPath(parent + "\\") + L'*').c_str(), FindExInfoBasic,
                                       &entry, FindExSearchNameMatch, nullptr, 0));
    if (!search)
        return found;
    do {
        DWORD attributes = entry.dwFileAttributes;
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
            IsDotEntry(entry.cFileName) || !names.Matches(entry.cFileName))
            continue;
        std::string path = SubfolderPath(parent, entry.cFileName);
        if (path.empty())
            listener.OnFailure(parent + "\\" + ToUtf8(entry.cFileName) + "\\", kUnwritableName);
        else
            found.push_back(std::move(path));
    } while (FindNextFileW(search.get(), &entry));
    return found;
}

} // namespace

std::vector<std::string> ExpandFolderWildcards(const std::string& folder, EraseListener* unreachable)
{
    SilentListener silent;
    EraseListener& listener = unreachable ? *unreachable : silent;
    if (!HasWildcard(folder))
        return {folder};
    bool trailingSlash = folder.ends_with('\\');
    std::vector<std::string> parts = SplitParts(trailingSlash ? folder.substr(0, folder.size() - 1) : folder);
    if (HasWildcard(parts.front()))
        return {}; // no drive or server is ever guessed
    std::vector<std::string> current{parts.front()};
    for (size_t i = 1; i < parts.size() && !current.empty(); ++i) {
        std::vector<std::string> next;
        for (const std::string& base : current) {
            if (!HasWildcard(parts[i])) {
                next.push_back(base + "\\" + parts[i]);
                continue;
            }
            for (std::string& match : MatchingFolders(base, parts[i], listener))
                next.push_back(std::move(match));
        }
        current = std::move(next);
    }
    if (trailingSlash) {
        for (std::string& path : current)
            path += '\\';
    }
    return current;
}

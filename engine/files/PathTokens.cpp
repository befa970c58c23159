#include "engine/files/PathTokens.h"

#include "engine/files/FolderLocations.h"
#include "engine/files/ShellFolders.h"
#include "framework/Utf8.h"

#include <windows.h>

namespace {

std::string EnvironmentFolder(const wchar_t* name)
{
    wchar_t value[MAX_PATH + 1];
    DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH + 1);
    return length && length <= MAX_PATH ? ToUtf8(std::wstring_view(value, length)) : std::string();
}

// The Program Files folder of the system's own kind, for the 32- and the 64-bit program alike: a 32-bit
// program on 64-bit Windows cannot ask the shell for it, and Windows names it in ProgramW6432 instead.
std::string NativeProgramFiles()
{
    std::string folder = KnownFolderPath(FOLDERID_ProgramFilesX64);
    if (folder.empty())
        folder = EnvironmentFolder(L"ProgramW6432");
    return folder.empty() ? KnownFolderPath(FOLDERID_ProgramFiles) : folder;
}

// The same for the programs' shared files (CommonProgramW6432 is that folder's name for a 32-bit program).
std::string NativeCommonProgramFiles()
{
    std::string folder = KnownFolderPath(FOLDERID_ProgramFilesCommonX64);
    if (folder.empty())
        folder = EnvironmentFolder(L"CommonProgramW6432");
    return folder.empty() ? KnownFolderPath(FOLDERID_ProgramFilesCommon) : folder;
}

// The root of the drive Windows is on ("C:\"): a bare "C:" would mean that drive's current folder.
std::string SystemDrive()
{
    std::string windows = KnownFolderPath(FOLDERID_Windows);
    return windows.size() >= 2 && windows[1] == ':' ? windows.substr(0, 2) + "\\" : std::string();
}

struct Token {
    const char* text;
    std::string (*folder)();
};

const Token kTokens[] = {
    {"%appdata%", [] { return KnownFolderPath(FOLDERID_RoamingAppData); }},
    {"%userhome%", [] { return KnownFolderPath(FOLDERID_Profile); }},
    {"%localappdata%", [] { return KnownFolderPath(FOLDERID_LocalAppData); }},
    {"%localappdatalow%", [] { return KnownFolderPath(FOLDERID_LocalAppDataLow); }},
    {"%programdata%", [] { return KnownFolderPath(FOLDERID_ProgramData); }},
    {"%windir%", [] { return KnownFolderPath(FOLDERID_Windows); }},
    {"%temp%", TempFolderPath},
    {"%documents%", [] { return KnownFolderPath(FOLDERID_Documents); }},
    {"%desktop%", [] { return KnownFolderPath(FOLDERID_Desktop); }},
    {"%programfiles%", NativeProgramFiles},
    {"%programfilesx86%", [] { return KnownFolderPath(FOLDERID_ProgramFilesX86); }},
    {"%commonprogramfiles%", NativeCommonProgramFiles},
    {"%commonprogramfilesx86%", [] { return KnownFolderPath(FOLDERID_ProgramFilesCommonX86); }},
    {"%systemdrive%", SystemDrive},
    {"%public%", [] { return KnownFolderPath(FOLDERID_Public); }},
    {"%pictures%", [] { return KnownFolderPath(FOLDERID_Pictures); }},
    {"%music%", [] { return KnownFolderPath(FOLDERID_Music); }},
    {"%videos%", [] { return KnownFolderPath(FOLDERID_Videos); }},
    {"%downloads%", [] { return KnownFolderPath(FOLDERID_Downloads); }},
};
constexpr size_t kFirstAddedToken = 2; // the ones before keep their old meaning when unresolvable

} // namespace

// The folders found for each token, by index.
struct PathTokenFolders {
    std::optional<std::string> folders[std::size(kTokens)];
};

namespace {

// The outermost PathTokenMemo's folders while one lives on this thread. A plain pointer: a thread_local
// object with a destructor is freed at thread exit by MinGW's runtime in an order that corrupts the heap.
thread_local PathTokenFolders* memo = nullptr;

// The memo's answer, or without a memo the system's, kept in unmemoized.
const std::string& FolderOf(size_t index, std::string& unmemoized)
{
    if (!memo)
        return unmemoized = kTokens[index].folder();
    std::optional<std::string>& known = memo->folders[index];
    if (!known)
        known = kTokens[index].folder();
    return *known;
}

// The token's text is lower case; the path's may be any case.
bool IsToken(std::string_view text, const char* token)
{
    size_t i = 0;
    for (; i < text.size() && token[i]; ++i) {
        char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (c != token[i])
            return false;
    }
    return i == text.size() && !token[i];
}

} // namespace

std::optional<std::string> ExpandPathTokens(const std::string& path)
{
    if (!path.starts_with('%'))
        return path;
    size_t close = path.find('%', 1);
    if (close == std::string::npos)
        return path;
    // Thousands of detect paths pass here for each listing: the path is built in one piece.
    const std::string_view token(path.data(), close + 1);
    for (size_t i = 0; i < std::size(kTokens); ++i) {
        if (!IsToken(token, kTokens[i].text))
            continue;
        std::string unmemoized;
        const std::string& folder = FolderOf(i, unmemoized);
        if (folder.empty())
            return i < kFirstAddedToken ? std::optional<std::string>(path) : std::nullopt;
        size_t rest = close + 1;
        if (folder.ends_with('\\') && path.compare(rest, 1, "\\") == 0)
            ++rest;
        std::string expanded;
        expanded.reserve(folder.size() + path.size() - rest);
        expanded.append(folder).append(path, rest, std::string::npos);
        return expanded;
    }
    return path;
}

PathTokenMemo::PathTokenMemo() : own_(memo ? nullptr : std::make_unique<PathTokenFolders>())
{
    if (own_)
        memo = own_.get();
}

PathTokenMemo::~PathTokenMemo()
{
    if (own_)
        memo = nullptr;
}

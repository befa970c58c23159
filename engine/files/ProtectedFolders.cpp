#include "engine/files/ProtectedFolders.h"

#include "engine/files/ResolvedPath.h"
#include "engine/files/ShellFolders.h"
#include "framework/LowerCase.h"
#include "framework/Utf8.h"

#include <windows.h>

#include <algorithm>

namespace {

const wchar_t kExtended[] = L"\\\\?\\";
const wchar_t kExtendedUnc[] = L"\\\\?\\UNC\\";

// The absolute, extended form of a folder, with long names where the folder exists; empty when it
// cannot be had. A \\?\ path reaches the file system as it stands; any other is normalised first.
std::wstring Resolved(const std::wstring& folder)
{
    std::wstring full = folder;
    if (!full.starts_with(kExtended)) {
        full = FilledText([&](wchar_t* buffer, DWORD size) {
            return GetFullPathNameW(folder.c_str(), size, buffer, nullptr);
        });
        if (full.starts_with(L"\\\\.\\"))
            full = kExtended + full.substr(4);
        else if (full.starts_with(L"\\\\"))
            full = kExtendedUnc + full.substr(2);
        else if (full.size() >= 2 && full[1] == L':')
            full = kExtended + full;
        else
            return {};
    }
    std::wstring longForm =
        FilledText([&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(full.c_str(), buffer, size); });
    return longForm.empty() ? full : longForm;
}

// The resolved form without its final backslashes, so that a folder and its parent compare by prefix.
std::wstring Trimmed(std::wstring path)
{
    while (path.size() > 4 && path.back() == L'\\')
        path.pop_back();
    return path;
}

// A "." or ".." part, which only an extended path can still hold and whose meaning is then the file
// system's.
bool HasDotPart(const std::wstring& path)
{
    std::wstring ended = path + L'\\';
    return ended.find(L"\\.\\") != std::wstring::npos || ended.find(L"\\..\\") != std::wstring::npos;
}

// A drive root (\\?\C:), a share (\\?\UNC\server\share) or anything outside those two forms, such
// as a volume or device name, which no plug-in has reason to name.
bool IsRootOrUnusual(const std::wstring& path)
{
    if (HasDotPart(path))
        return true;
    if (path.starts_with(kExtendedUnc)) {
        size_t share = path.find(L'\\', std::size(kExtendedUnc) - 1);
        return share == std::wstring::npos || path.find(L'\\', share + 1) == std::wstring::npos;
    }
    std::wstring_view rest = std::wstring_view(path).substr(std::size(kExtended) - 1);
    bool drive = rest.size() >= 2 && rest[1] == L':' && rest.find(L':', 2) == std::wstring_view::npos;
    return !drive || rest.size() <= 3;
}

// Whether inner is outer or lies somewhere below it; both trimmed.
bool IsSameOrInside(const std::wstring& inner, const std::wstring& outer)
{
    bool below = inner.size() > outer.size() && inner[outer.size()] == L'\\';
    return (inner.size() == outer.size() || below) &&
           SameNameIgnoringCase(std::wstring_view(inner).substr(0, outer.size()), outer);
}

std::wstring EnvironmentFolder(const wchar_t* name)
{
    return FilledText(
        [&](wchar_t* buffer, DWORD size) { return GetEnvironmentVariableW(name, buffer, size); });
}

// Folders with everything inside them: what Windows runs from, never something a cleaner empties.
std::vector<std::string> SystemTrees(const std::vector<std::wstring>& windowsFolders,
                                     const std::vector<std::wstring>& systemFolders)
{
    std::vector<std::string> trees;
    for (const std::wstring& folder : systemFolders)
        trees.push_back(ToUtf8(folder));
    for (const std::wstring& windows : windowsFolders) {
        for (const wchar_t* inside : {L"System32", L"SysWOW64", L"WinSxS", L"inf", L"Boot", L"Fonts"})
            trees.push_back(ToUtf8(windows + L'\\' + inside));
    }
    return trees;
}

// Resolved forms of each folder: as named and, when links lead elsewhere, where it really is.
void AddResolved(const std::vector<std::string>& folders, std::vector<std::wstring>& resolvedFolders)
{
    for (const std::string& folder : folders) {
        if (folder.empty())
            continue;
        std::wstring resolved = Resolved(ToWide(folder));
        if (resolved.empty())
            continue;
        resolvedFolders.push_back(Trimmed(resolved));
        std::wstring final = FinalPathOf(resolved);
        if (!final.empty())
            resolvedFolders.push_back(Trimmed(final));
    }
}

// The folders that programs are installed in, and the known folders that hold the data of the user and of
// the machine: a TEMP variable pointed at one of them (by an installer, a script) must not empty it. Only
// the named folders deeper inside them (Temp, Recent, a program's cache) are ever a cleaner's target. A
// folder the shell cannot name on this system (OneDrive where it is not set up) protects nothing.
const KNOWNFOLDERID* const kKnownFolders[] = {
    &FOLDERID_ProgramFiles,    &FOLDERID_ProgramFilesX86, &FOLDERID_Profile,
    &FOLDERID_Desktop,         &FOLDERID_Documents,       &FOLDERID_Downloads,
    &FOLDERID_Pictures,        &FOLDERID_Music,           &FOLDERID_Videos,
    &FOLDERID_Favorites,       &FOLDERID_SavedGames,      &FOLDERID_SkyDrive,
    &FOLDERID_Contacts,        &FOLDERID_Links,           &FOLDERID_SavedSearches,
    &FOLDERID_RoamingAppData,  &FOLDERID_LocalAppData,    &FOLDERID_LocalAppDataLow,
    &FOLDERID_StartMenu,       &FOLDERID_Programs,        &FOLDERID_Startup,
    &FOLDERID_ProgramData,     &FOLDERID_CommonStartMenu, &FOLDERID_CommonPrograms,
    &FOLDERID_CommonStartup,   &FOLDERID_Public,          &FOLDERID_PublicDesktop,
    &FOLDERID_PublicDocuments, &FOLDERID_PublicDownloads, &FOLDERID_PublicPictures,
    &FOLDERID_PublicMusic,     &FOLDERID_PublicVideos,
};

} // namespace

ProtectedFolders ProtectedFolders::OfThisSystem()
{
    return OfThisSystemFor(KNOWNFOLDERID{});
}

ProtectedFolders ProtectedFolders::OfThisSystemFor(REFKNOWNFOLDERID emptiedFolder)
{
    std::vector<std::wstring> windowsFolders = {
        FilledText([](wchar_t* buffer, DWORD size) { return GetWindowsDirectoryW(buffer, size); }),
        FilledText([](wchar_t* buffer, DWORD size) { return GetSystemWindowsDirectoryW(buffer, size); }),
    };
    std::vector<std::wstring> systemFolders = {
        FilledText([](wchar_t* buffer, DWORD size) { return GetSystemDirectoryW(buffer, size); }),
        FilledText([](wchar_t* buffer, DWORD size) { return GetSystemWow64DirectoryW(buffer, size); }),
    };
    std::erase(windowsFolders, std::wstring());
    std::erase(systemFolders, std::wstring());
    std::vector<std::string> folders = {
        // The 64-bit Program Files, which the shell does not name to 32-bit code.
        ToUtf8(EnvironmentFolder(L"ProgramW6432")),
    };
    for (const KNOWNFOLDERID* known : kKnownFolders) {
        if (!IsEqualGUID(*known, emptiedFolder))
            folders.push_back(KnownFolderPath(*known));
    }
    for (const std::wstring& folder : windowsFolders)
        folders.push_back(ToUtf8(folder));
    ProtectedFolders protectedFolders(folders, SystemTrees(windowsFolders, systemFolders));
    AddResolved({KnownFolderPath(FOLDERID_RoamingAppData), KnownFolderPath(FOLDERID_LocalAppData),
                 KnownFolderPath(FOLDERID_LocalAppDataLow)},
                protectedFolders.dataRoots_);
    return protectedFolders;
}

ProtectedFolders::ProtectedFolders(const std::vector<std::string>& folders,
                                   const std::vector<std::string>& trees)
{
    AddResolved(folders, folders_);
    AddResolved(trees, trees_);
}

template <typename Test>
bool ProtectedFolders::Resolves(const std::string& folder, Test test) const
{
    // The eraser reads a folder without a final backslash as if it had one, an empty one as the
    // root of the current drive.
    std::wstring wide = ToWide(folder);
    if (wide.empty() || wide.back() != L'\\')
        wide += L'\\';
    std::wstring resolved = Resolved(wide);
    if (resolved.empty() || test(resolved))
        return true;
    std::wstring final = FinalPathOf(resolved);
    return !final.empty() && test(final);
}

bool ProtectedFolders::Covers(const std::string& folder) const
{
    return Resolves(folder, [this](const std::wstring& resolved) { return CoversResolved(resolved); });
}

bool ProtectedFolders::RefusesNamedFile(const std::string& folder) const
{
    return Resolves(folder, [this](const std::wstring& resolved) { return HoldsSystemResolved(resolved); });
}

bool ProtectedFolders::AllowsNarrowPattern(const std::string& folder) const
{
    std::wstring wide = ToWide(folder);
    if (wide.empty() || wide.back() != L'\\')
        wide += L'\\';
    std::wstring resolved = Resolved(wide);
    if (resolved.empty() || RefusesNamedFile(folder))
        return false;
    std::wstring target = Trimmed(resolved);
    return std::any_of(dataRoots_.begin(), dataRoots_.end(), [&target](const std::wstring& root) {
        return IsSameOrInside(root, target) && IsSameOrInside(target, root);
    });
}

bool ProtectedFolders::CoversResolved(const std::wstring& folder) const
{
    if (HoldsSystemResolved(folder))
        return true;
    std::wstring target = Trimmed(folder);
    for (const std::wstring& kept : folders_) {
        if (IsSameOrInside(kept, target))
            return true;
    }
    return false;
}

bool ProtectedFolders::HoldsSystemResolved(const std::wstring& folder) const
{
    std::wstring target = Trimmed(folder);
    if (IsRootOrUnusual(target))
        return true;
    for (const std::wstring& tree : trees_) {
        if (IsSameOrInside(target, tree) || IsSameOrInside(tree, target))
            return true;
    }
    return false;
}

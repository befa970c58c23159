#include "engine/items/ItemConditions.h"

#include "engine/files/KeepFilter.h"
#include "engine/files/PathExpansion.h"
#include "engine/files/PathTokens.h"
#include "engine/files/ResolvedPath.h"
#include "engine/registry/RegistryEraser.h"
#include "framework/LowerCase.h"
#include "framework/Owners.h"
#include "framework/RegKey.h"
#include "framework/Utf8.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>

namespace {

bool InThisSession(DWORD processId, DWORD ownSession)
{
    DWORD session = 0;
    return !ProcessIdToSessionId(processId, &session) || session == ownSession;
}

std::wstring ImagePathOf(DWORD processId)
{
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    std::vector<wchar_t> path(32768);
    DWORD length = static_cast<DWORD>(path.size());
    if (!process || !QueryFullProcessImageNameW(process.get(), 0, path.data(), &length))
        return {};
    return std::wstring(path.data(), length);
}

// Whether the process runs the program's own file in this session: by its folder when the program names
// one, matched as keep paths are (tokens, wildcards, links on the way), else by the file name alone.
bool RunsProgram(const PROCESSENTRY32W& entry, const RunningProgram& program, DWORD ownSession)
{
    if (!SameNameIgnoringCase(entry.szExeFile, ToWide(program.exe)) ||
        !InThisSession(entry.th32ProcessID, ownSession))
        return false;
    if (program.folder.empty())
        return true;
    KeepFilter place({program.folder + "\\" + program.exe}, 0, 0);
    std::wstring image = ImagePathOf(entry.th32ProcessID);
    if (!place.Valid() || image.empty())
        return true;
    return place.Keeps(NormalisedPath(ToUtf8(image)), 0);
}

// Looks in the view the erasers work in, so that the 32- and the 64-bit program run the same items.
bool RegistryPathExists(const RegistryPath& path)
{
    std::string key = path.parent.empty() ? path.name : path.parent + "\\" + path.name;
    RegKey opened;
    if (opened.Open(path.root, key, KEY_READ | kRegistryView) == ERROR_SUCCESS)
        return true;
    if (opened.Open(path.root, path.parent, KEY_QUERY_VALUE | kRegistryView) != ERROR_SUCCESS)
        return false;
    return RegQueryValueExW(opened.get(), ToWide(path.name).c_str(), nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

bool FilePathExists(const std::string& path)
{
    std::optional<std::string> expanded = ExpandPathTokens(path);
    if (!expanded || expanded->starts_with('%'))
        return false;
    for (const std::string& match : ExpandFolderWildcards(*expanded)) {
        if (GetFileAttributesW(ToExtendedPath(match).c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
    }
    return false;
}

bool IsDetectPath(const std::string& path, bool (*registryExists)(const std::string&),
                  bool (*fileExists)(const std::string&))
{
    RegistryPath registry = ParseRegistryPath(path);
    return registry.valid && registry.root ? registryExists(path) : fileExists(path);
}

bool RegistryDetectExists(const std::string& path)
{
    return RegistryPathExists(ParseRegistryPath(path));
}

// The root's own name ("HKEY_CURRENT_USER") and the key below it, from a registry place written in full.
std::pair<std::string, std::string> RootAndKey(const std::string& place)
{
    size_t slash = place.find('\\');
    return {place.substr(0, slash), slash == std::string::npos ? std::string() : place.substr(slash + 1)};
}

// The subkeys and values of a key; false when it cannot be read, or when it is missing (names empty then).
bool ReadKeyNames(const std::string& place, std::set<std::string>& names)
{
    auto [rootName, key] = RootAndKey(place);
    RegistryPath root = ParseRegistryPath(rootName + "\\x");
    RegKey opened;
    LSTATUS status = opened.Open(root.root, key, KEY_READ | kRegistryView);
    if (status == ERROR_FILE_NOT_FOUND)
        return true;
    if (status != ERROR_SUCCESS)
        return false;
    std::vector<wchar_t> name(16384);
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        status = RegEnumKeyExW(opened.get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS)
            return false;
        names.insert(LowerCase(ToUtf8(std::wstring_view(name.data(), length))));
    }
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        status = RegEnumValueW(opened.get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            return true;
        if (status != ERROR_SUCCESS)
            return false;
        names.insert(LowerCase(ToUtf8(std::wstring_view(name.data(), length))));
    }
}

// The files and folders in a folder; false when it cannot be read, or when it is missing (names empty then).
bool ReadFolderNames(const std::string& folder, std::set<std::string>& names)
{
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileExW(ToExtendedPath(folder + "\\*").c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    do {
        names.insert(LowerCase(ToUtf8(found.cFileName)));
    } while (FindNextFileW(find.get(), &found));
    return GetLastError() == ERROR_NO_MORE_FILES;
}

} // namespace

RunningPrograms FindRunningPrograms(const EraseItem& item)
{
    RunningPrograms found;
    if (item.running.empty())
        return found;
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return found;
    DWORD ownSession = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &ownSession);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        for (const RunningProgram& program : item.running) {
            if (RunsProgram(entry, program, ownSession)) {
                if (found.name.empty())
                    found.name = program.name;
                found.processIds.push_back(entry.th32ProcessID);
                break;
            }
        }
    }
    return found;
}

std::string RunningProgramName(const EraseItem& item)
{
    return FindRunningPrograms(item).name;
}

bool IsDetected(const EraseItem& item)
{
    return item.detect.empty() ||
           std::any_of(item.detect.begin(), item.detect.end(), [](const std::string& path) {
               return IsDetectPath(path, RegistryDetectExists, FilePathExists);
           });
}

bool Detector::IsDetected(const EraseItem& item)
{
    if (item.detect.empty())
        return true;
    for (const std::string& path : item.detect) {
        size_t first = path.find('\\');
        bool registry = first != std::string::npos && RootKeyFromName(std::string_view(path).substr(0, first));
        if (registry ? RegistryEntryExists(path) : FileEntryExists(path))
            return true;
    }
    return false;
}

const Detector::Listing* Detector::Listed(Listings& listings, const std::string& place,
                                          bool (*read)(const std::string&, std::set<std::string>&))
{
    Listing& listing = listings[place]; // spelled alike by every path that names it: tokens expand alike
    if (!listing.listed && ++listing.asks == 2) {
        std::set<std::string> names;
        if (read(place, names)) {
            listing.names = std::move(names);
            listing.listed = true;
        }
    }
    return listing.listed ? &listing : nullptr;
}

bool Detector::RegistryEntryExists(const std::string& path)
{
    RegistryPath registry = ParseRegistryPath(path);
    const Listing* listing = Listed(keys_, path.substr(0, path.find_last_of('\\')), ReadKeyNames);
    if (!listing)
        return RegistryPathExists(registry);
    return listing->names.contains(LowerCase(registry.name));
}

bool Detector::FileEntryExists(const std::string& path)
{
    std::optional<std::string> expanded = ExpandPathTokens(path);
    if (!expanded || expanded->starts_with('%'))
        return false;
    std::string place = std::move(*expanded);
    while (place.size() > 3 && place.back() == '\\')
        place.pop_back();
    if (place.find_first_of("*?") != std::string::npos || place.starts_with("\\\\"))
        return FilePathExists(path);
    return PlaceExists(place);
}

// A path without tokens or wildcards: missing when its folder is, else found in the folder's listing or
// asked directly.
bool Detector::PlaceExists(const std::string& place)
{
    size_t slash = place.find_last_of('\\');
    if (slash == std::string::npos || slash + 1 >= place.size() || place.size() <= 3)
        return GetFileAttributesW(ToExtendedPath(place).c_str()) != INVALID_FILE_ATTRIBUTES;
    std::string folder = place.substr(0, slash);
    if (folder.size() > 3 && !FolderExists(folder))
        return false;
    const Listing* listing = Listed(folders_, folder, ReadFolderNames);
    if (!listing)
        return GetFileAttributesW(ToExtendedPath(place).c_str()) != INVALID_FILE_ATTRIBUTES;
    return listing->names.contains(LowerCase(place.substr(slash + 1)));
}

// Only folders found are kept: thousands of missing ones are each a single item's, told at once from the
// listing of a folder kept here, and keeping them cost more than asking again.
bool Detector::FolderExists(const std::string& folder)
{
    if (existingFolders_.contains(folder))
        return true;
    if (!PlaceExists(folder))
        return false;
    existingFolders_.insert(folder);
    return true;
}

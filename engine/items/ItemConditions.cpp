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
    if (item.detect.empty())
        return true;
    for (const std::string& path : item.detect) {
        RegistryPath registry = ParseRegistryPath(path);
        if (registry.valid && registry.root ? RegistryPathExists(registry) : FilePathExists(path))
            return true;
    }
    return false;
}

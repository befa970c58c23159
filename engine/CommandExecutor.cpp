#include "engine/CommandExecutor.h"

#include "app/AppPaths.h"
#include "engine/ErrorText.h"
#include "engine/FileSystemEraser.h"
#include "engine/RegistryEraser.h"
#include "engine/ShellFolders.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "settings/RecordFile.h"

#include <exception>

namespace {

std::string AsciiLower(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// The process of a started program; empty when it could not be started.
UniqueHandle StartProgram(const std::string& commandLine, const std::string& workingFolder)
{
    std::wstring line = ToWide(commandLine); // CreateProcessW may write into it
    std::wstring folder = ToWide(workingFolder);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES; // and no handles: the program gets none
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started))
        return UniqueHandle();
    CloseHandle(started.hThread);
    return UniqueHandle(started.hProcess);
}

uint64_t FileTimeValue(const FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

uint64_t Now()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return FileTimeValue(now);
}

// A record file last written before the program started is one of an earlier run. FAT keeps write
// times to two seconds only, hence the margin.
bool WrittenSince(const std::string& path, uint64_t start)
{
    constexpr uint64_t kMarginTicks = 2 * 10'000'000ull;
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(ToExtendedPath(path).c_str(), GetFileExInfoStandard, &data) &&
           FileTimeValue(data.ftLastWriteTime) + kMarginTicks >= start;
}

} // namespace

ProgramOutcome RunProgramWithin(const std::string& commandLine, const std::string& workingFolder,
                                unsigned long timeoutMs)
{
    UniqueHandle process = StartProgram(commandLine, workingFolder);
    if (!process)
        return {ProgramOutcome::NotStarted, GetLastError()};
    if (WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0)
        return {ProgramOutcome::DidNotFinish};
    return {};
}

bool RunProgram(const std::string& commandLine, WaitMode wait, const std::string& workingFolder)
{
    UniqueHandle process = StartProgram(commandLine, workingFolder);
    if (!process)
        return false;
    switch (wait) {
    case WaitMode::InputIdle:
        return WaitForInputIdle(process.get(), INFINITE) == 0;
    case WaitMode::Exit:
        return WaitForSingleObject(process.get(), INFINITE) == WAIT_OBJECT_0;
    case WaitMode::None:
        return true;
    }
    return false;
}

std::string ExpandParameter(const std::string& parameter)
{
    if (!parameter.starts_with('%'))
        return parameter;
    size_t close = parameter.find('%', 1);
    if (close == std::string::npos)
        return parameter;
    std::string token = AsciiLower(parameter.substr(0, close + 1));
    std::string folder;
    if (token == "%appdata%")
        folder = KnownFolderPath(FOLDERID_RoamingAppData);
    else if (token == "%userhome%")
        folder = KnownFolderPath(FOLDERID_Profile);
    return folder.empty() ? parameter : folder + parameter.substr(close + 1);
}

CommandExecutor::CommandExecutor(EraseOptions options)
    : CommandExecutor(GetPluginFolder(), BuiltInCleaners(), ProtectedFolders::OfThisSystem(), options)
{
}

CommandExecutor::CommandExecutor(std::string programFolder, std::span<const BuiltInCleaner> cleaners,
                                 ProtectedFolders protectedFolders, EraseOptions options)
    : programFolder_(std::move(programFolder)), cleaners_(cleaners),
      protectedFolders_(std::move(protectedFolders)), options_(options)
{
}

void CommandExecutor::Execute(EraseItem& item) const
{
    item.tally = {};
    const std::string& command = item.command;
    if (command == "delete-file")
        DeleteFiles(item, false);
    else if (command == "delete-directory")
        DeleteFiles(item, true);
    else if (command == "delete-register-key")
        DeleteRegistryEntries(item, false);
    else if (command == "delete-register-value")
        DeleteRegistryEntries(item, true);
    else if (command == "run")
        RunPrograms(item);
    else if (command == "advance")
        RunCleaners(item);
}

// Expanded parameters stay in the item. A folder that must never be emptied (a drive root, the Windows
// folder, a profile ...) is skipped; a parameter that resolves there is most likely a mistake.
void CommandExecutor::DeleteFiles(EraseItem& item, bool wholeFolders) const
{
    EraseTally& tally = item.tally;
    for (std::string& parameter : item.parameters) {
        parameter = ExpandParameter(parameter);
        std::string folder = wholeFolders ? parameter : FolderOfPatternPath(parameter);
        if (protectedFolders_.Covers(folder)) {
            options_.Listener().OnRefused(folder);
            continue;
        }
        if (wholeFolders)
            DeleteInFolder(parameter, "*.*", true, tally.filesErased, tally.bytesReleased, options_);
        else
            DeleteFilesByPattern(parameter, true, tally.filesErased, tally.bytesReleased, options_);
    }
}

void CommandExecutor::DeleteRegistryEntries(EraseItem& item, bool values) const
{
    RegistryEraser eraser(options_);
    for (const std::string& path : item.parameters)
        item.tally.registryEntriesErased +=
            values ? eraser.DeleteValueByPath(path) : eraser.DeleteKeyByPath(path);
}

void CommandExecutor::RunPrograms(EraseItem& item) const
{
    for (const std::string& parameter : item.parameters) {
        std::string program = programFolder_ + parameter;
        // The path is quoted on the command line; a quote of its own would end it there.
        if (parameter.find('"') != std::string::npos) {
            options_.Listener().OnRefused(program);
            continue;
        }
        options_.Listener().OnUncounted("program " + program +
                                        ": its counts are known only after it has run");
        if (!options_.Preview())
            RunOneProgram(item, program);
    }
}

// Each program leaves its counts in a record file named after it: program.exe writes program.log. Only a
// program that ended in time counts, and only by a record it wrote in this run.
void CommandExecutor::RunOneProgram(EraseItem& item, const std::string& program) const
{
    uint64_t start = Now();
    ProgramOutcome run =
        RunProgramWithin("\"" + program + "\"", programFolder_, item.timeoutSeconds * 1000ul);
    EraseListener& listener = options_.Listener();
    if (run.outcome == ProgramOutcome::NotStarted) {
        listener.OnProgramFailure(program,
                                  "could not be started: " + ErrorText(HRESULT_FROM_WIN32(run.error)));
        return;
    }
    if (run.outcome == ProgramOutcome::DidNotFinish) {
        listener.OnProgramFailure(program, "did not finish within " + std::to_string(item.timeoutSeconds) +
                                               " seconds; left running");
        return;
    }
    std::string recordPath = program.substr(0, program.size() >= 4 ? program.size() - 4 : 0) + ".log";
    if (!WrittenSince(recordPath, start))
        return;
    RecordFile record(recordPath);
    EraseTally& tally = item.tally;
    tally.filesErased += static_cast<uint32_t>(record.GetInt("log", "erased-file-num", 0));
    tally.bytesReleased += static_cast<uint32_t>(record.GetInt("log", "erased-file-size", 0));
    tally.registryEntriesErased += static_cast<uint32_t>(record.GetInt("log", "erased-register-num", 0));
}

void CommandExecutor::RunCleaners(EraseItem& item) const
{
    for (const std::string& name : item.parameters) {
        if (const BuiltInCleaner* cleaner = FindCleaner(cleaners_, name))
            cleaner->run(item.tally, options_);
    }
}

bool EraseItem::ExecuteItem(const EraseOptions& options)
{
    // Engine failures stay silent; not even running out of memory may reach the window that asked.
    try {
        CommandExecutor(options).Execute(*this);
    } catch (const std::exception&) {
    }
    return true;
}

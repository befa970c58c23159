#include "engine/CommandExecutor.h"

#include "app/AppPaths.h"
#include "engine/FileSystemEraser.h"
#include "engine/PlacesHistoryCleaner.h"
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

} // namespace

bool RunProgram(const std::string& commandLine, WaitMode wait, const std::string& workingFolder)
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
        return false;
    UniqueHandle process(started.hProcess);
    UniqueHandle thread(started.hThread);
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
    else if (command == "delete-places-history")
        ClearPlacesHistories(item);
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

// Each program leaves its counts in a record file named after it: program.exe writes program.log.
void CommandExecutor::RunPrograms(EraseItem& item) const
{
    EraseTally& tally = item.tally;
    for (const std::string& parameter : item.parameters) {
        std::string program = programFolder_ + parameter;
        options_.Listener().OnUncounted("program " + program + ": its counts are known only after it has run");
        if (options_.Preview())
            continue;
        // Quoted, so that a blank in the folder cannot make another program start.
        RunProgram("\"" + program + "\"", WaitMode::Exit, programFolder_);
        RecordFile record(program.substr(0, program.size() >= 4 ? program.size() - 4 : 0) + ".log");
        tally.filesErased += static_cast<uint32_t>(record.GetInt("log", "erased-file-num", 0));
        tally.bytesReleased += static_cast<uint32_t>(record.GetInt("log", "erased-file-size", 0));
        tally.registryEntriesErased += static_cast<uint32_t>(record.GetInt("log", "erased-register-num", 0));
    }
}

void CommandExecutor::ClearPlacesHistories(EraseItem& item) const
{
    for (std::string& parameter : item.parameters) {
        parameter = ExpandParameter(parameter);
        ClearPlacesHistory(parameter, options_);
    }
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

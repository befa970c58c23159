#include "engine/CommandExecutor.h"

#include "app/AppPaths.h"
#include "engine/FileSystemEraser.h"
#include "engine/ItemConditions.h"
#include "engine/KeepFilter.h"
#include "engine/PathExpansion.h"
#include "engine/PathTokens.h"
#include "engine/RegistryEraser.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "settings/RecordFile.h"

#include <exception>
#include <optional>

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
    return ExpandPathTokens(parameter).value_or(parameter);
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
    item.skipped.clear();
    std::string running = RunningProgramName(item);
    KeepFilter filter(item.keep, item.olderThanHours, FileTimeNow());
    if (!running.empty())
        item.skipped = "skipped: " + running + " is running";
    else if (!filter.Valid())
        item.skipped = "skipped: a keep path names a folder this system does not have";
    if (!item.skipped.empty()) {
        options_.Listener().OnSkipped(item.skipped);
        return;
    }
    EraseOptions fileOptions = options_;
    if (filter.Active())
        fileOptions.filter = &filter;
    std::optional<RegistryEraser> registry; // one for all registry parameters of the item
    for (size_t index = 0; index < item.parameters.size(); ++index) {
        const std::string& command = item.CommandOf(index);
        if (command == "delete-file" || command == "delete-directory") {
            DeleteFiles(item, index, fileOptions);
        } else if (command == "delete-register-key" || command == "delete-register-value") {
            if (!registry)
                registry.emplace(options_);
            const std::string& path = item.parameters[index];
            item.tally.registryEntriesErased += command == "delete-register-value"
                                                    ? registry->DeleteValueByPath(path)
                                                    : registry->DeleteKeyByPath(path);
        } else if (command == "run") {
            RunProgramOf(item, item.parameters[index]);
        } else if (command == "advance") {
            if (const BuiltInCleaner* cleaner = FindCleaner(cleaners_, item.parameters[index]))
                cleaner->run(item.tally, options_);
        }
    }
}

// Expanded parameters stay in the item. A folder that must never be emptied (a drive root, the Windows
// folder, a profile ...) is skipped; a parameter that resolves there is most likely a mistake. Each
// folder that a wildcard matches is checked on its own.
void CommandExecutor::DeleteFiles(EraseItem& item, size_t index, const EraseOptions& options) const
{
    std::optional<std::string> expanded = ExpandPathTokens(item.parameters[index]);
    if (!expanded)
        return; // a folder this system does not have: the path must not be taken literally
    std::string& parameter = item.parameters[index] = *expanded;
    const ParameterOptions& how = item.OptionsOf(index);
    bool wholeFolder = item.CommandOf(index) == "delete-directory";
    std::string folderPart = wholeFolder ? parameter : FolderOfPatternPath(parameter);
    std::string pattern = wholeFolder ? "*.*" : parameter.substr(folderPart.size());
    EraseTally& tally = item.tally;
    for (const std::string& folder : ExpandFolderWildcards(folderPart)) {
        if (protectedFolders_.Covers(folder)) {
            options.Listener().OnRefused(folder);
            continue;
        }
        if (how.recurse == Recurse::All)
            DeleteInEveryFolder(folder, pattern, tally.filesErased, tally.bytesReleased, options);
        else
            DeleteInFolder(folder, pattern, how.recurse == Recurse::Matching, tally.filesErased,
                           tally.bytesReleased, options);
        if (how.removeSelf && !options.Preview() && !(options.filter && options.filter->Keeps(folder, 0)))
            RemoveDirectoryW(ToExtendedPath(folder).c_str()); // only when it is empty now
    }
}

// Each program leaves its counts in a record file named after it: program.exe writes program.log.
void CommandExecutor::RunProgramOf(EraseItem& item, const std::string& parameter) const
{
    EraseTally& tally = item.tally;
    std::string program = programFolder_ + parameter;
    options_.Listener().OnUncounted("program " + program + ": its counts are known only after it has run");
    if (options_.Preview())
        return;
    // Quoted, so that a blank in the folder cannot make another program start.
    RunProgram("\"" + program + "\"", WaitMode::Exit, programFolder_);
    RecordFile record(program.substr(0, program.size() >= 4 ? program.size() - 4 : 0) + ".log");
    tally.filesErased += static_cast<uint32_t>(record.GetInt("log", "erased-file-num", 0));
    tally.bytesReleased += static_cast<uint32_t>(record.GetInt("log", "erased-file-size", 0));
    tally.registryEntriesErased += static_cast<uint32_t>(record.GetInt("log", "erased-register-num", 0));
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

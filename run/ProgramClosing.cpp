#include "run/ProgramClosing.h"

#include "engine/items/ItemConditions.h"
#include "framework/Owners.h"

#include <windows.h>

#include <algorithm>
#include <set>

namespace {

// One program as the items name it, with every process of it that runs now.
struct Program {
    std::string background; // what keeps it running without a window, from the plug-in
    std::set<DWORD> processIds;
    std::vector<UniqueHandle> processes;
    int windowsAsked = 0;
};

std::string BackgroundOf(const EraseItem& item, const std::string& name)
{
    for (const RunningProgram& program : item.running) {
        if (program.name == name && !program.background.empty())
            return program.background;
    }
    return {};
}

std::map<std::string, Program> ProgramsOf(const std::vector<EraseItem*>& items)
{
    std::map<std::string, Program> programs;
    for (const EraseItem* item : items) {
        RunningPrograms running = FindRunningPrograms(*item);
        if (running.name.empty())
            continue;
        Program& program = programs[running.name];
        if (program.background.empty())
            program.background = BackgroundOf(*item, running.name);
        program.processIds.insert(running.processIds.begin(), running.processIds.end());
    }
    return programs;
}

// A window the user could close: shown, and no dialog of another window (closing a "Save changes?"
// dialog would answer it).
BOOL CALLBACK AskToClose(HWND window, LPARAM parameter)
{
    if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER))
        return TRUE;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    for (auto& [name, program] : *reinterpret_cast<std::map<std::string, Program>*>(parameter)) {
        if (program.processIds.count(processId) && PostMessageW(window, WM_CLOSE, 0, 0))
            ++program.windowsAsked;
    }
    return TRUE;
}

// A process that cannot be waited for counts as running.
bool Ended(const Program& program)
{
    return program.processes.size() == program.processIds.size() &&
           std::all_of(program.processes.begin(), program.processes.end(), [](const UniqueHandle& process) {
               return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
           });
}

bool AllEnded(const std::map<std::string, Program>& programs)
{
    return std::all_of(programs.begin(), programs.end(),
                       [](const auto& entry) { return Ended(entry.second); });
}

std::string WhyStillRunning(const std::string& name, const Program& program)
{
    if (program.windowsAsked == 0) {
        std::string why = name + " runs without a window";
        return program.background.empty() ? why : why + " (" + program.background + ")";
    }
    return name + " did not close (it may be asking to save something)";
}

} // namespace

StillRunning CloseRunningPrograms(const std::vector<EraseItem*>& items, std::chrono::milliseconds wait,
                                  const std::atomic<bool>* stop)
{
    std::map<std::string, Program> programs = ProgramsOf(items);
    for (auto& [name, program] : programs) {
        for (DWORD processId : program.processIds) {
            UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
            if (process)
                program.processes.push_back(std::move(process));
        }
    }
    EnumWindows(AskToClose, reinterpret_cast<LPARAM>(&programs));
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(wait.count());
    while (!AllEnded(programs) && GetTickCount64() < deadline && !(stop && *stop))
        Sleep(100);
    StillRunning still;
    for (const auto& [name, program] : programs) {
        if (!Ended(program))
            still[name] = WhyStillRunning(name, program);
    }
    return still;
}

std::vector<std::string> RunningProgramNames(const std::vector<EraseItem*>& items)
{
    std::vector<std::string> names;
    for (const EraseItem* item : items) {
        std::string name = RunningProgramName(*item);
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

#include "tests/support/Processes.h"

#include "framework/Application.h"
#include "framework/Utf8.h"

#include <windows.h>

int RunAndWait(const std::string& commandLine, unsigned timeoutMs)
{
    std::wstring line = ToWide(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

UniqueHandle StartProgram(const std::string& commandLine)
{
    std::wstring line = ToWide(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return {};
    CloseHandle(process.hThread);
    return UniqueHandle(process.hProcess);
}

bool CopyFileForTest(const std::string& from, const std::string& to)
{
    return CopyFileW(ToExtendedPath(from).c_str(), ToExtendedPath(to).c_str(), FALSE) != 0;
}

std::string TestProgramFolder()
{
    std::string path = ModuleFileName();
    return path.substr(0, path.find_last_of('\\') + 1);
}

namespace {

BOOL CALLBACK FindShown(HWND window, LPARAM found)
{
    auto* wanted = reinterpret_cast<std::pair<DWORD, bool>*>(found);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wanted->second = wanted->second || (processId == wanted->first && IsWindowVisible(window));
    return TRUE;
}

bool WindowShown(DWORD processId)
{
    std::pair<DWORD, bool> wanted{processId, false};
    for (ULONGLONG deadline = GetTickCount64() + 10000; !wanted.second && GetTickCount64() < deadline;) {
        Sleep(50);
        EnumWindows(FindShown, reinterpret_cast<LPARAM>(&wanted));
    }
    return wanted.second;
}

} // namespace

UniqueHandle StartWindowProgram(const std::string& folder, const std::string& mode)
{
    const std::string copy = folder + "\\window_program.exe";
    if (!CopyFileForTest(TestProgramFolder() + "window_program.exe", copy))
        return {};
    UniqueHandle started = StartProgram("\"" + copy + "\" " + mode);
    if (!started)
        return {};
    if (mode != "hidden" && !WindowShown(GetProcessId(started.get()))) {
        TerminateProcess(started.get(), 0);
        return {};
    }
    return started;
}

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

bool CopyFileForTest(const std::string& from, const std::string& to)
{
    return CopyFileW(ToExtendedPath(from).c_str(), ToExtendedPath(to).c_str(), FALSE) != 0;
}

std::string TestProgramFolder()
{
    std::string path = ModuleFileName();
    return path.substr(0, path.find_last_of('\\') + 1);
}

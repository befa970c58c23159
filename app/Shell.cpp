#include "app/Shell.h"

#include "settings/AppPaths.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <windows.h>
#include <shellapi.h>

namespace {

// What WinExec would do, with a Unicode command line: start it shown, wait for nothing.
void StartProgram(const std::string& commandLine, WORD show)
{
    std::wstring line = ToWide(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        UniqueHandle thread(process.hThread);
        UniqueHandle program(process.hProcess);
    }
}

void OpenPage(const std::string& path)
{
    // The shell may hand the page to a COM server; a thread that has COM already keeps its apartment.
    ComInit com;
    ShellExecuteW(nullptr, L"open", ToWide(path).c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

} // namespace

std::string HelpCommandLine(const std::string& helpFilePath)
{
    return "hh.exe " + helpFilePath;
}

std::string HomePagePath()
{
    return GetAppFolder() + "docs\\index.html";
}
std::string PluginPagePath()
{
    return GetAppFolder() + "docs\\plugins.html";
}

void ShowHelp()
{
    StartProgram(HelpCommandLine(GetHelpFilePath()), SW_SHOWDEFAULT);
}
void OpenHomePage()
{
    OpenPage(HomePagePath());
}
void OpenPluginPage()
{
    OpenPage(PluginPagePath());
}

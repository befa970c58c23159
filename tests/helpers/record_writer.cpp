// Stands in for a plug-in's program. After a pause, so that a caller that does not wait reads too early
// (longer when <own name>.sleep gives milliseconds), it copies <own name>.record to <own name>.log when
// there is one, and notes its working folder in <own name>.seen.
#include "settings/AppPaths.h"
#include "framework/Utf8.h"

#include <windows.h>

#include <filesystem>
#include <fstream>

int wmain()
{
    std::string self = GetExecutablePath();
    std::string base = self.substr(0, self.size() - 4);
    DWORD pause = 300;
    std::ifstream(std::filesystem::path(ToWide(base + ".sleep"))) >> pause;
    Sleep(pause);
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    std::ofstream seen(std::filesystem::path(ToWide(base + ".seen")), std::ios::binary);
    seen << ToUtf8(folder);
    CopyFileW(ToWide(base + ".record").c_str(), ToWide(base + ".log").c_str(), FALSE);
    return 0;
}

// Writes what this executable hands to the help viewer and the browser, one line each, to the file named
// by its first argument. Given a second, a per-user Run list as a registry path, it also enables
// auto-start there and reports the result.
#include "settings/AppPaths.h"
#include "app/AutoStart.h"
#include "app/Shell.h"
#include "framework/Utf8.h"

#include <windows.h>

#include <filesystem>
#include <fstream>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    std::ofstream out(std::filesystem::path(argv[1]), std::ios::binary);
    out << HelpCommandLine(GetHelpFilePath()) << "\n" << HomePagePath() << "\n" << PluginPagePath() << "\n";
    if (argc > 2) {
        RunLists lists;
        lists.user = ToUtf8(argv[2]);
        lists.machine = lists.user + " (machine)";
        out << (EnableAutoStart(lists) ? "enabled" : "failed") << "\n";
    }
    return out.good() ? 0 : 1;
}

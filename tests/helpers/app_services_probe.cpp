// Writes what this executable hands to the help viewer and the browser, one line each, to the file named
// by its first argument.
#include "app/AppPaths.h"
#include "app/Shell.h"

#include <windows.h>

#include <filesystem>
#include <fstream>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    std::ofstream out(std::filesystem::path(argv[1]), std::ios::binary);
    out << HelpCommandLine(GetHelpFilePath()) << "\n" << HomePagePath() << "\n" << PluginPagePath() << "\n";
    return out.good() ? 0 : 1;
}

// Writes what the program would derive about itself, one line each, to the file named by its argument.
#include "settings/AppPaths.h"
#include "framework/Utf8.h"

#include <windows.h>

#include <fstream>
#include <filesystem>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    std::ofstream out(std::filesystem::path(argv[1]), std::ios::binary);
    out << GetAppFolder() << "\n"
        << GetRecordFilePath() << "\n"
        << GetConfigFilePath() << "\n"
        << GetHelpFilePath() << "\n"
        << GetPluginFolder() << "\n"
        << FormatWindowsVersion(GetWindowsVersion()) << "\n";
    return out.good() ? 0 : 1;
}

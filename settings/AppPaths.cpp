#include "settings/AppPaths.h"

#include "framework/Application.h"
#include "framework/Utf8.h"

#include <windows.h>

#include <cstdio>

std::string GetExecutablePath()
{
    return ModuleFileName();
}

namespace {

size_t FileNameStart(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? 0 : slash + 1;
}

std::string AppFile(const char* extension)
{
    return GetAppFolder() + GetAppName() + extension;
}

} // namespace

std::string GetAppName()
{
    std::string path = GetExecutablePath();
    std::string file = path.substr(FileNameStart(path));
    size_t dot = file.rfind('.');
    return dot == std::string::npos ? file : file.substr(0, dot);
}

std::string GetAppFolder()
{
    std::string path = GetExecutablePath();
    return path.substr(0, FileNameStart(path));
}

std::string GetRecordFilePath()
{
    return AppFile(".log");
}
std::string GetConfigFilePath()
{
    return AppFile(".conf");
}
std::string GetHelpFilePath()
{
    return AppFile(".chm");
}

std::string GetPluginFolder()
{
    return GetAppFolder() + "plugin\\";
}

PluginCacheFile PluginCacheOf(const std::string& programPath)
{
    WIN32_FILE_ATTRIBUTE_DATA program;
    if (!GetFileAttributesExW(ToExtendedPath(programPath).c_str(), GetFileExInfoStandard, &program))
        return {};
    char stamp[64];
    std::snprintf(stamp, sizeof(stamp), "%lu-%lu-%lu-%lu", program.nFileSizeHigh, program.nFileSizeLow,
                  program.ftLastWriteTime.dwHighDateTime, program.ftLastWriteTime.dwLowDateTime);
    size_t dot = programPath.rfind('.');
    return {programPath.substr(0, dot > FileNameStart(programPath) ? dot : std::string::npos) + ".cache",
            stamp};
}

double GetWindowsVersion()
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    DWORD version = GetVersion();
#pragma GCC diagnostic pop
    return WindowsVersionFromParts(LOBYTE(LOWORD(version)), HIBYTE(LOWORD(version)));
}

#pragma once
#include "engine/items/PluginCache.h"
#include "engine/items/WindowsVersion.h"

#include <string>

// The running program's folder, the files named after its executable, and the Windows version.
// Everything is derived afresh on each call, so a renamed copy uses its own files.

std::string GetExecutablePath();
std::string GetAppName();   // the executable's base name, without folder and extension
std::string GetAppFolder(); // ends in a backslash
std::string GetRecordFilePath();
std::string GetConfigFilePath();
std::string GetHelpFilePath();
std::string GetPluginFolder(); // ends in a backslash
// The plug-in cache of the program file programPath, beside it under the program's name, stamped with that
// file's size and write time so that another build never reads it; no cache if the program is not there.
PluginCacheFile PluginCacheOf(const std::string& programPath);

// Major version plus a tenth of the minor version, as GetVersion reports them.
double GetWindowsVersion();

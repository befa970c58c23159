#pragma once
#include "engine/WindowsVersion.h"

#include <string>

// The running program's folder, the files named after its executable, and the Windows version.
// Everything is derived afresh on each call, so a renamed copy uses its own files.

std::string GetExecutablePath();
std::string GetAppName();     // the executable's base name, without folder and extension
std::string GetAppFolder();   // ends in a backslash
std::string GetRecordFilePath();
std::string GetConfigFilePath();
std::string GetHelpFilePath();
std::string GetPluginFolder(); // ends in a backslash

// Major version plus a tenth of the minor version, as GetVersion reports them.
double GetWindowsVersion();

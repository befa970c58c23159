#pragma once
#include "settings/Settings.h"

#include <string>

// The two statistics lines the main window paints under its lists.
std::string LastErasedLine(const EraseStatistics& statistics);
// Kilobytes below 10,240 KB, whole megabytes from there on.
std::string FilesErasedLine(const EraseStatistics& statistics);

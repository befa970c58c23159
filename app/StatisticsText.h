#pragma once
#include "settings/Settings.h"

#include <functional>
#include <string>

// The two statistics lines the main window paints under its lists.
std::string LastErasedLine(const EraseStatistics& statistics);
// Counts with digit grouping; whole kilobytes below 10,240 KB, then megabytes, gigabytes and terabytes.
std::string FilesErasedLine(const EraseStatistics& statistics);

// Whether a line fits the statistics panel.
using StatisticsLineFits = std::function<bool(const std::string&)>;
// The lines as above when they fit; otherwise large totals in tenths of gigabytes or terabytes, then
// shorter wording, and the shortest form when nothing fits.
std::string LastErasedLine(const EraseStatistics& statistics, const StatisticsLineFits& fits);
std::string FilesErasedLine(const EraseStatistics& statistics, const StatisticsLineFits& fits);

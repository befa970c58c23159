#pragma once
#include "settings/Settings.h"

#include <functional>
#include <string>

// "Never" before the first run, then the stored time in the user's short date and time; the stored text
// as it stands when it names no time.
std::string LastErasedText(const EraseStatistics& statistics);

// The two statistics lines the main window paints under its lists, numbers in the user's locale.
std::string LastErasedLine(const EraseStatistics& statistics);
std::string FilesErasedLine(const EraseStatistics& statistics);

// Whether a line fits the statistics panel.
using StatisticsLineFits = std::function<bool(const std::string&)>;
// The lines as above when they fit; otherwise shorter wording, and the shortest form when nothing fits.
std::string LastErasedLine(const EraseStatistics& statistics, const StatisticsLineFits& fits);
std::string FilesErasedLine(const EraseStatistics& statistics, const StatisticsLineFits& fits);

#pragma once
#include "engine/EraseMode.h"
#include "engine/EraseTally.h"

#include <string>

// Empties the recent-file list that Notepad++ keeps in its settings file, config.xml in its folder of the
// roaming application data, and leaves every other setting as it was. Nothing happens without that file; a
// file reached through a link, or with other names, is refused and reported.
void ClearNotepadPlusPlusHistory(EraseTally& tally, const EraseOptions& options);

// The same on the settings file at configPath.
void ClearNotepadPlusPlusHistoryIn(const std::string& configPath, const EraseOptions& options);

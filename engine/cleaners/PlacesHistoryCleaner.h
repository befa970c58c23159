#pragma once
#include "engine/EraseMode.h"

#include <string>

// Clears the browsing history kept in a Firefox-family places.sqlite and keeps the bookmarks: the visits,
// typed input and page metadata go, and so do the pages that no bookmark or keyword needs; the pages kept
// lose their visit counts and dates. The file itself always stays. A database the browser holds locked is
// left alone and reported as a failure; one reached through a link, or with other names, is refused and
// reported; a missing file is no error. Nothing counts into the tally: the
// listener hears how many visits and pages went (or, in a preview, would go).
void ClearPlacesHistory(const std::string& path, const EraseOptions& options = {});

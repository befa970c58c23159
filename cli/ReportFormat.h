#pragma once
#include "cli/RunReport.h"
#include "engine/items/EraseItemList.h"
#include "run/RunSelection.h"

#include <string>

// The outputs of the commands, as text for people and as one JSON document for scripts. Texts end
// with a line break.

// Selected are the items whose tick is stored; new ones have none yet and are marked as such.
std::string ListText(const EraseItemList& list, const ConfirmedSelection& selection);
// The JSON also names the items and the settings the organization manages.
std::string ListJson(const EraseItemList& list, const ConfirmedSelection& selection,
                     const Policies& policies);

std::string RunText(const RunReport& report);
std::string RunJson(const RunReport& report);

// The sites to keep, one a line (or a note that there are none): the user's own, then those a policy keeps
// besides, marked "(set by your organization)"; or as {"command": "keep", "sites": [...], "managed sites":
// [...]}.
std::string KeepSitesText(const std::vector<std::string>& own, const std::vector<std::string>& managed);
std::string KeepSitesJson(const std::vector<std::string>& own, const std::vector<std::string>& managed);

// The document of a command that stopped before it ran: bad usage, an unknown id, nothing selected (with
// the new items that wait for their tick).
std::string ErrorJson(const char* command, const std::string& message,
                      const std::vector<NewItem>& newItems = {});

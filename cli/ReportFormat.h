#pragma once
#include "cli/RunReport.h"
#include "engine/EraseItemList.h"
#include "engine/ItemSelection.h"

#include <string>

// The outputs of the commands, as text for people and as one JSON document for scripts. Texts end
// with a line break.

std::string ListText(const EraseItemList& list, const ItemSelection& selection);
std::string ListJson(const EraseItemList& list, const ItemSelection& selection);

std::string RunText(const RunReport& report);
std::string RunJson(const RunReport& report);

// The document of a command that stopped before it ran: bad usage, an unknown id, nothing selected.
std::string ErrorJson(const char* command, const std::string& message);

#pragma once
#include <windows.h>
#include <shlobj.h>

#include <string>

// A shell folder of the current user or the system (FOLDERID_RoamingAppData ...), however long; empty
// when the shell cannot tell it. Nothing is created.
std::string KnownFolderPath(REFKNOWNFOLDERID folder);

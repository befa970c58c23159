#pragma once
#include <string>

// The program folder the build made, as a user unzips it (P: for the 32-bit build, Q: for the 64-bit
// one), and its plug-in folder; both end in a backslash.
std::string ShippedProgramFolder();
std::string ShippedPluginFolder();

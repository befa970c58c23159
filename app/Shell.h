#pragma once
#include <string>

// The help file and the product's pages, handed to the programs Windows opens them with. Failures are
// silent: the help viewer reports a missing file itself.

// The help viewer's command line: the path follows unquoted, as the viewer takes the rest of the line.
std::string HelpCommandLine(const std::string& helpFilePath);
// The pages shipped in the program folder's docs folder.
std::string HomePagePath();
std::string PluginPagePath();

void ShowHelp();
void OpenHomePage();
void OpenPluginPage();

#pragma once
#include "run/EraseRunSetup.h"

#include <windows.h>

#include <optional>
#include <string>

// The window's way to import a rules file: a file-open dialog, the import, and
// its summary in a message box.
class RulesImportPrompt {
public:
    explicit RulesImportPrompt(const EraseRunSetup& setup) : setup_(setup) {}

    // Asks for the file and imports it; true when the plug-in folder changed.
    bool Run(HWND owner) const;
    // Imports the file and shows the summary; true when the plug-in folder
    // changed.
    bool Import(HWND owner, const std::string& rulesPath) const;

private:
    static std::optional<std::string> AskForFile(HWND owner);

    const EraseRunSetup& setup_;
};

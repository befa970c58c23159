#pragma once
#include "engine/ProtectedFolders.h"

#include <string>

// What an erase needs to know of the program and the system it works for, built once from the run's
// set-up and handed down: the engine never asks the process where it lives. Protected registry keys are
// one fixed rule for every system (engine/ProtectedKeys.h) and need no place here.
struct EraseContext {
    std::string pluginFolder; // holds the programs of "run" items and is their working folder; ends in a backslash
    ProtectedFolders protectedFolders;
    double windowsVersion = 0; // picks what the form-data cleaner empties
};

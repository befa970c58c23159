#pragma once
#include "engine/cleaners/KeptSites.h"
#include "engine/files/ProtectedFolders.h"

#include <atomic>
#include <map>
#include <string>

// What an erase needs to know of the program and the system it works for, built once from the run's
// set-up and handed down: the engine never asks the process where it lives. Protected registry keys are
// one fixed rule for every system (engine/registry/ProtectedKeys.h) and need no place here.
struct EraseContext {
    std::string
        pluginFolder; // holds the programs of "run" items and is their working folder; ends in a backslash
    ProtectedFolders protectedFolders;
    double windowsVersion = 0; // picks what the form-data cleaner empties
    // Set by whoever started the work to end it early; the walks look at it between entries, and what
    // was counted until then stays counted. Null: nobody stops it.
    const std::atomic<bool>* stop = nullptr;
    // Why a program that was asked to close still runs, by the name the user knows it by; the items it
    // keeps from running say so instead of only that it runs.
    std::map<std::string, std::string> stillRunning = {};
    // The sites whose cookies and stores stay; none: everything goes as the items say.
    KeptSites keptSites{};
    // Why the sites to keep cannot be read, or empty. While it is set, an item that has cookies to clear or
    // reaches a store that sites to keep decide about does nothing, for an unreadable list is no empty one.
    std::string keptSitesProblem = {};
    // Files are overwritten before they are deleted (EraseOptions::secureDeletion).
    bool secureDeletion = false;

    bool StopRequested() const { return stop && stop->load(); }
};

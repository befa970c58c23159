#pragma once
#include <string>
#include <vector>

enum class CliCommand { Help, List, Preview, Erase, ImportRules, Keep, RemoveTask, WipeFreeSpace };

// What one command line asks for.
struct CliRequest {
    CliCommand command = CliCommand::Help;
    std::vector<std::string> ids; // in the order given, each once; for an import, the rules file; for keep,
                                  // "list", or "add" or "remove" and the host; for a wipe, the drive
    bool json = false;
    bool replace = false;       // an import removes the plug-ins of earlier imports first
    bool closePrograms = false; // an erase first asks the programs that keep items from running to close
    bool scheduled = false;     // the scheduled task's erase, which follows the schedule's settings
    bool secure = false;        // a preview or erase that overwrites files before deleting them
    std::string error;          // why the line is bad usage; empty when it is fine
};

// Reads the arguments after the program name. "--help" (also "-h", "/?") anywhere asks for help and
// "--json" anywhere for a JSON document; the first other argument is the command, the rest item ids, or
// the rules file that import-winapp2 reads (and its "--replace"), erase's "--close-programs", or what
// keep does; "--secure" asks a preview or erase to overwrite files. "erase --scheduled" is the scheduled task's; "schedule --remove-task" removes that task.
CliRequest ParseCommandLine(const std::vector<std::string>& arguments);

// The command's name as the user types it.
const char* CommandName(CliCommand command);

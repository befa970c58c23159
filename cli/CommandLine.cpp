#include "cli/CommandLine.h"

#include <algorithm>

namespace {

bool IsHelpOption(const std::string& argument)
{
    return argument == "--help" || argument == "-h" || argument == "/?";
}

bool ParseCommandName(const std::string& name, CliCommand& command)
{
    for (CliCommand known :
         {CliCommand::List, CliCommand::Preview, CliCommand::Erase, CliCommand::ImportRules, CliCommand::Keep,
          CliCommand::RemoveTask, CliCommand::WipeFreeSpace}) {
        if (name == CommandName(known)) {
            command = known;
            return true;
        }
    }
    return false;
}

bool IsKeepLine(const std::vector<std::string>& words)
{
    if (words.size() == 1)
        return words[0] == "list";
    return words.size() == 2 && (words[0] == "add" || words[0] == "remove");
}

} // namespace

const char* CommandName(CliCommand command)
{
    switch (command) {
    case CliCommand::List:
        return "list";
    case CliCommand::Preview:
        return "preview";
    case CliCommand::Erase:
        return "erase";
    case CliCommand::ImportRules:
        return "import-winapp2";
    case CliCommand::Keep:
        return "keep";
    case CliCommand::RemoveTask:
        return "schedule";
    case CliCommand::WipeFreeSpace:
        return "wipe-free-space";
    case CliCommand::Help:
        break;
    }
    return "help";
}

CliRequest ParseCommandLine(const std::vector<std::string>& arguments)
{
    CliRequest request;
    // Known first, so that a script gets its document even for a line that is wrong elsewhere.
    request.json = std::find(arguments.begin(), arguments.end(), "--json") != arguments.end();
    if (std::any_of(arguments.begin(), arguments.end(), IsHelpOption))
        return request;
    bool haveCommand = false;
    bool removeTask = false;
    for (const std::string& argument : arguments) {
        if (argument == "--json")
            continue;
        if (argument == "--replace") {
            request.replace = true;
        } else if (argument == "--close-programs") {
            request.closePrograms = true;
        } else if (argument == "--secure") {
            request.secure = true;
        } else if (argument == "--scheduled") {
            request.scheduled = true;
        } else if (argument == "--remove-task") {
            removeTask = true; // the one thing schedule does
        } else if (argument.starts_with('-')) {
            request.error = "unknown option: " + argument;
        } else if (!haveCommand) {
            haveCommand = true;
            if (!ParseCommandName(argument, request.command))
                request.error = "unknown command: " + argument;
        } else if (std::find(request.ids.begin(), request.ids.end(), argument) == request.ids.end()) {
            request.ids.push_back(argument);
        }
        if (!request.error.empty())
            return request;
    }
    if (!haveCommand)
        request.error = "no command given";
    else if (request.command == CliCommand::List && !request.ids.empty())
        request.error = "list takes no item ids";
    else if (request.command == CliCommand::ImportRules && request.ids.size() != 1)
        request.error = "import-winapp2 takes one rules file";
    else if (request.command != CliCommand::ImportRules && request.replace)
        request.error = "unknown option: --replace";
    else if (request.command != CliCommand::Erase && request.closePrograms)
        request.error = "only erase takes --close-programs";
    else if (request.command == CliCommand::WipeFreeSpace && request.ids.size() != 1)
        request.error = "wipe-free-space takes one drive (D:)";
    else if (request.command == CliCommand::Keep && !IsKeepLine(request.ids))
        request.error = "keep takes list, add HOST or remove HOST";
    else if (request.secure && request.command != CliCommand::Erase && request.command != CliCommand::Preview)
        request.error = "only erase and preview take --secure";
    else if (request.secure && request.scheduled)
        request.error = "a scheduled erase follows the setting; it takes no --secure";
    else if (request.command != CliCommand::Erase && request.scheduled)
        request.error = "unknown option: --scheduled";
    else if (request.command == CliCommand::Erase && request.scheduled && !request.ids.empty())
        request.error = "a scheduled erase takes no item ids";
    else if ((request.command == CliCommand::RemoveTask) != removeTask ||
             (removeTask && !request.ids.empty()))
        request.error = removeTask ? "--remove-task goes with schedule only" : "schedule takes --remove-task";
    else if (request.command == CliCommand::ImportRules && request.json)
        request.error = "import-winapp2 prints text only";
    return request;
}

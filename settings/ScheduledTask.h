#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// The Task Scheduler's task that erases while Vestrel is closed: vestrel-cli's scheduled erase at the
// period of "Erase Period", as the current user. Each user has one, in the "\Vestrel" folder.
inline constexpr char kEraseTaskFolder[] = "\\Vestrel";
// What the task runs after vestrel-cli.
inline constexpr char kEraseTaskArguments[] = "erase --scheduled";

// The task's name for the current user, in the folder and where it must go into the root folder instead.
std::string EraseTaskName();
std::string EraseTaskRootName();

// The task's XML for a period of the schedule list, running cliPath from its folder, from the local
// date the triggers count from, as "YYYY-MM-DD": startDate.
std::string EraseTaskXml(uint32_t period, const std::string& cliPath, const std::string& startDate);

// Registers the current user's task for the period, or replaces it; needs COM on the thread.
HRESULT RegisterEraseTask(uint32_t period, const std::string& cliPath);
// Removes it; S_FALSE when there was none. Needs COM on the thread.
HRESULT RemoveEraseTask();
// Whether the current user has the task. Needs COM on the thread.
bool IsEraseTaskRegistered();

struct Settings;
// After the schedule was stored: the task for the running period when whenClosed and the schedule's
// periodic erase are on, otherwise none. Needs COM on the thread.
HRESULT UpdateEraseTask(const Settings& running, bool whenClosed, const std::string& cliPath);

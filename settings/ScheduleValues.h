#pragma once
#include "settings/Policies.h"
#include "settings/Settings.h"

#include <cstdint>
#include <string>

// What the schedule dialog shows and hands back on OK. A field added later starts from the running value,
// so a caller that does not know it stores it unchanged.
struct ScheduleValues {
    bool enableSchedule = false;
    bool eraseAtStartup = false;
    bool eraseAtEvery = false;
    // The index into the period list; one outside it means none was chosen.
    uint32_t erasePeriod = 0;
    // "Also when Vestrel is closed": the Task Scheduler's task of the current user (ScheduledTask.h).
    bool eraseWhenClosed = false;
};

// The running values, the process-wide settings.
ScheduleValues CurrentSchedule();

// Stores the values OK'd, creating the key when it is missing, and applies them at once, as the options'
// are: the timer counts with the new period from its next tick. Without a chosen period the stored one and
// the running copy stay as they were. A value the policies set is neither stored nor applied: the user's
// own stays underneath. keyPath is relative to HKEY_CURRENT_USER.
void StoreSchedule(const ScheduleValues& values, const Policies& policies,
                   const std::string& keyPath = kSettingsKeyPath);

#pragma once

#include <windows.h>

#include <cstdint>
#include <ctime>
#include <string>

// The periods of "Erase at Every", in the order of the schedule dialog's list; the index is what
// "Erase Period" stores.
constexpr uint32_t kSchedulePeriodCount = 6;
const char* SchedulePeriodText(uint32_t period);

// Whether a periodic run of this period is due at the local time now, given the seconds since the last
// run. Each period names moments of the clock and a gap that must have passed since the last run, so
// one due moment (a whole minute for the half-hour and hour periods) starts one run only. An index
// outside the list, such as -1 for a list without a selection, is never due.
bool IsPeriodDue(uint32_t period, const SYSTEMTIME& now, uint32_t secondsSinceLastRun);

// The seconds from the last run to now, unsigned: a last run at time 0 (none since the program
// started) or in the future (the clock was set back) gives a large count, so a run follows at the
// next due moment.
uint32_t SecondsSinceLastRun(std::time_t now, std::time_t lastRun);

struct Settings;

// The timer's whole test: "Enable Schedule" and "Erase at Every" on, no run going on, and the period
// of "Erase Period" due.
bool IsEraseDue(const Settings& settings, const SYSTEMTIME& now, uint32_t secondsSinceLastRun, bool busy);
// The same for the process-wide settings, the local clock and the last run, of this process or, as stored
// under settingsKey, of another.
bool IsEraseDueNow(bool busy, const std::string& settingsKey);
// Whether the last run lies within the gap of "Erase Period": a scheduled task started now would erase a
// second time in the period. Never with a period outside the list.
bool ErasedThisPeriod(const Settings& settings, uint32_t secondsSinceLastRun);

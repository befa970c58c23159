#include "settings/Schedule.h"

#include "settings/Settings.h"

namespace {

// The whole second hh:00:00; the main window's 300 ms timer ticks within every second.
bool OnTheHour(const SYSTEMTIME& now)
{
    return now.wMinute == 0 && now.wSecond == 0;
}

bool HalfHour(const SYSTEMTIME& now)
{
    return now.wMinute == 0 || now.wMinute == 30;
}
bool OneHour(const SYSTEMTIME& now)
{
    return now.wMinute == 0;
}
bool EightHours(const SYSTEMTIME& now)
{
    return OnTheHour(now) && now.wHour % 8 == 0;
}
bool OneDay(const SYSTEMTIME& now)
{
    return OnTheHour(now) && now.wHour == 10;
}
bool OneWeek(const SYSTEMTIME& now)
{
    return OneDay(now) && now.wDay % 7 == 0;
}
// The first of the month: every month has one, and a run late in the previous month cannot hold it
// off, as the gap of 1,440,000 seconds is under 17 days.
bool OneMonth(const SYSTEMTIME& now)
{
    return OneDay(now) && now.wDay == 1;
}

struct Period {
    const char* text;
    bool (*clockHolds)(const SYSTEMTIME&);
    uint32_t minimumGap; // the seconds since the last run must exceed this
};

constexpr Period kPeriods[kSchedulePeriodCount] = {
    {"Half Hour", HalfHour, 1200}, {"One Hour", OneHour, 1200},   {"Eight Hour", EightHours, 21600},
    {"One Day", OneDay, 72000},    {"One Week", OneWeek, 432000}, {"One Month", OneMonth, 1440000},
};

} // namespace

const char* SchedulePeriodText(uint32_t period)
{
    return period < kSchedulePeriodCount ? kPeriods[period].text : "";
}

bool IsPeriodDue(uint32_t period, const SYSTEMTIME& now, uint32_t secondsSinceLastRun)
{
    if (period >= kSchedulePeriodCount)
        return false;
    const Period& row = kPeriods[period];
    return row.clockHolds(now) && secondsSinceLastRun > row.minimumGap;
}

uint32_t SecondsSinceLastRun(std::time_t now, std::time_t lastRun)
{
    return static_cast<uint32_t>(now - lastRun);
}

bool IsEraseDue(const Settings& settings, const SYSTEMTIME& now, uint32_t secondsSinceLastRun, bool busy)
{
    if (!settings.enableSchedule || !settings.eraseAtEvery || busy)
        return false;
    return IsPeriodDue(settings.erasePeriod, now, secondsSinceLastRun);
}

bool IsEraseDueNow(bool busy, const std::string& settingsKey)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    auto due = [&] {
        uint32_t seconds = SecondsSinceLastRun(std::time(nullptr), ProcessStatistics().lastErasedTime);
        return IsEraseDue(ProcessSettings(), now, seconds, busy);
    };
    if (!due())
        return false;
    // The scheduled task may have erased in this period while the window was open.
    LoadStatistics(settingsKey);
    return due();
}

bool ErasedThisPeriod(const Settings& settings, uint32_t secondsSinceLastRun)
{
    return settings.erasePeriod < kSchedulePeriodCount &&
           secondsSinceLastRun <= kPeriods[settings.erasePeriod].minimumGap;
}

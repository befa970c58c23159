#include "settings/ScheduleValues.h"

#include "framework/RegKey.h"
#include "settings/Schedule.h"

ScheduleValues CurrentSchedule()
{
    const Settings& settings = ProcessSettings();
    ScheduleValues values;
    values.enableSchedule = settings.enableSchedule != 0;
    values.eraseAtStartup = settings.eraseAtStartup != 0;
    values.eraseAtEvery = settings.eraseAtEvery != 0;
    values.erasePeriod = settings.erasePeriod;
    return values;
}

void StoreSchedule(const ScheduleValues& values, const std::string& keyPath)
{
    Settings& settings = ProcessSettings();
    settings.enableSchedule = values.enableSchedule;
    settings.eraseAtStartup = values.eraseAtStartup;
    settings.eraseAtEvery = values.eraseAtEvery;
    const bool chosen = values.erasePeriod < kSchedulePeriodCount;
    if (chosen)
        settings.erasePeriod = values.erasePeriod;
    RegKey key;
    if (key.Create(HKEY_CURRENT_USER, keyPath, KEY_ALL_ACCESS) != ERROR_SUCCESS)
        return;
    key.SetDword(settings.enableSchedule, kEnableScheduleValue);
    key.SetDword(settings.eraseAtStartup, kEraseAtStartupValue);
    key.SetDword(settings.eraseAtEvery, kEraseAtEveryValue);
    if (chosen)
        key.SetDword(settings.erasePeriod, kErasePeriodValue);
}

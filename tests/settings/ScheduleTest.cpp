#include "settings/Schedule.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum Period : uint32_t { kHalfHour, kOneHour, kEightHour, kOneDay, kOneWeek, kOneMonth };

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

SYSTEMTIME Clock(WORD hour, WORD minute, WORD second)
{
    return At(2024, 5, 14, hour, minute, second);
}

SYSTEMTIME Later(const SYSTEMTIME& start, uint64_t seconds)
{
    FILETIME file;
    SystemTimeToFileTime(&start, &file);
    ULARGE_INTEGER ticks{{file.dwLowDateTime, file.dwHighDateTime}};
    ticks.QuadPart += seconds * 10'000'000;
    file = {ticks.LowPart, ticks.HighPart};
    SYSTEMTIME later;
    FileTimeToSystemTime(&file, &later);
    return later;
}

std::string Text(const SYSTEMTIME& time)
{
    char text[32];
    snprintf(text, sizeof text, "%02u-%02u %02u:%02u:%02u", time.wMonth, time.wDay, time.wHour, time.wMinute,
             time.wSecond);
    return text;
}

// Ticks once a second from start, as the main window's timer would, and runs whenever the schedule
// says so; the program has just started, so there was no run before. Returns when the runs started.
std::vector<std::string> RunsOver(uint32_t period, const SYSTEMTIME& start, uint64_t seconds)
{
    const std::time_t startTime = 1'700'000'000;
    std::time_t lastRun = 0;
    std::vector<std::string> runs;
    for (uint64_t elapsed = 0; elapsed < seconds; ++elapsed) {
        std::time_t now = startTime + static_cast<std::time_t>(elapsed);
        SYSTEMTIME clock = Later(start, elapsed);
        if (IsPeriodDue(period, clock, SecondsSinceLastRun(now, lastRun))) {
            runs.push_back(Text(clock));
            lastRun = now;
        }
    }
    return runs;
}

constexpr uint32_t kLongAgo = 0xFFFFFFFF;
constexpr uint64_t kDay = 86400;

TEST(SchedulePeriods, ListTheDialogEntriesInOrder)
{
    const char* expected[] = {"Half Hour", "One Hour", "Eight Hour", "One Day", "One Week", "One Month"};
    for (uint32_t period = 0; period < kSchedulePeriodCount; ++period)
        EXPECT_STREQ(SchedulePeriodText(period), expected[period]);
}

TEST(SchedulePeriods, HalfHourIsDueAnySecondOfMinuteZeroOrThirty)
{
    for (WORD minute : {0, 30}) {
        for (WORD second : {0, 59})
            EXPECT_TRUE(IsPeriodDue(kHalfHour, Clock(7, minute, second), kLongAgo))
                << minute << ":" << second;
    }
    for (WORD minute : {1, 29, 31, 59})
        EXPECT_FALSE(IsPeriodDue(kHalfHour, Clock(7, minute, 0), kLongAgo)) << minute;
}

TEST(SchedulePeriods, OneHourIsDueInMinuteZeroOnly)
{
    EXPECT_TRUE(IsPeriodDue(kOneHour, Clock(0, 0, 0), kLongAgo));
    EXPECT_TRUE(IsPeriodDue(kOneHour, Clock(23, 0, 59), kLongAgo));
    EXPECT_FALSE(IsPeriodDue(kOneHour, Clock(23, 30, 0), kLongAgo));
    EXPECT_FALSE(IsPeriodDue(kOneHour, Clock(23, 59, 59), kLongAgo));
}

TEST(SchedulePeriods, EightHourIsDueInTheFirstSecondOfHoursZeroEightAndSixteen)
{
    for (WORD hour = 0; hour < 24; ++hour)
        EXPECT_EQ(IsPeriodDue(kEightHour, Clock(hour, 0, 0), kLongAgo), hour % 8 == 0) << hour;
    EXPECT_FALSE(IsPeriodDue(kEightHour, Clock(8, 0, 1), kLongAgo));
    EXPECT_FALSE(IsPeriodDue(kEightHour, Clock(16, 1, 0), kLongAgo));
}

TEST(SchedulePeriods, OneDayIsDueAtTenOClockSharp)
{
    EXPECT_TRUE(IsPeriodDue(kOneDay, Clock(10, 0, 0), kLongAgo));
    EXPECT_FALSE(IsPeriodDue(kOneDay, Clock(10, 0, 1), kLongAgo));
    EXPECT_FALSE(IsPeriodDue(kOneDay, Clock(10, 1, 0), kLongAgo));
    EXPECT_FALSE(IsPeriodDue(kOneDay, Clock(9, 0, 0), kLongAgo));
    EXPECT_FALSE(IsPeriodDue(kOneDay, Clock(22, 0, 0), kLongAgo));
}

TEST(SchedulePeriods, OneWeekIsDueAtTenOnDaysDivisibleBySeven)
{
    for (WORD day = 1; day <= 31; ++day)
        EXPECT_EQ(IsPeriodDue(kOneWeek, At(2024, 1, day, 10, 0, 0), kLongAgo), day % 7 == 0) << day;
    EXPECT_FALSE(IsPeriodDue(kOneWeek, At(2024, 1, 14, 10, 0, 1), kLongAgo));
    EXPECT_FALSE(IsPeriodDue(kOneWeek, At(2024, 1, 14, 11, 0, 0), kLongAgo));
}

TEST(SchedulePeriods, OneMonthIsDueAtTenOnTheFirst)
{
    for (WORD day = 1; day <= 31; ++day)
        EXPECT_EQ(IsPeriodDue(kOneMonth, At(2024, 1, day, 10, 0, 0), kLongAgo), day == 1) << day;
    EXPECT_TRUE(IsPeriodDue(kOneMonth, At(2024, 2, 1, 10, 0, 0), kLongAgo));
    EXPECT_FALSE(IsPeriodDue(kOneMonth, At(2024, 2, 1, 10, 0, 1), kLongAgo));
    EXPECT_FALSE(IsPeriodDue(kOneMonth, At(2024, 2, 1, 9, 0, 0), kLongAgo));
}

TEST(SchedulePeriods, EachPeriodNeedsMoreThanItsGapSinceTheLastRun)
{
    struct Case {
        uint32_t period;
        SYSTEMTIME due;
        uint32_t gap;
    };
    for (Case c : {Case{kHalfHour, Clock(7, 30, 0), 1200}, Case{kOneHour, Clock(7, 0, 0), 1200},
                   Case{kEightHour, Clock(8, 0, 0), 21600}, Case{kOneDay, Clock(10, 0, 0), 72000},
                   Case{kOneWeek, At(2024, 1, 7, 10, 0, 0), 432000},
                   Case{kOneMonth, At(2024, 1, 1, 10, 0, 0), 1440000}}) {
        EXPECT_FALSE(IsPeriodDue(c.period, c.due, c.gap)) << c.period;
        EXPECT_TRUE(IsPeriodDue(c.period, c.due, c.gap + 1)) << c.period;
    }
}

TEST(SchedulePeriods, AnIndexOutsideTheListIsNeverDue)
{
    for (uint32_t period : {uint32_t(-1), kSchedulePeriodCount, 100u}) {
        EXPECT_FALSE(IsPeriodDue(period, At(2024, 1, 1, 0, 0, 0), kLongAgo)) << period;
        EXPECT_FALSE(IsPeriodDue(period, At(2024, 1, 1, 10, 0, 0), kLongAgo)) << period;
        EXPECT_STREQ(SchedulePeriodText(period), "");
    }
}

TEST(SecondsSinceLastRun, NoRunYetOrALastRunInTheFutureCountAsLongAgo)
{
    const std::time_t now = 1'700'000'000;
    EXPECT_EQ(SecondsSinceLastRun(now, now - 1201), 1201u);
    EXPECT_EQ(SecondsSinceLastRun(now, now), 0u);
    EXPECT_GT(SecondsSinceLastRun(now, 0), 1'440'000u);
    // The clock was set back an hour after the last run.
    EXPECT_EQ(SecondsSinceLastRun(now, now + 3600), 0xFFFFFFFFu - 3599u);
    EXPECT_TRUE(IsPeriodDue(kOneMonth, At(2024, 3, 1, 10, 0, 0), SecondsSinceLastRun(now, now + 3600)));
}

TEST(ScheduleRuns, HalfHourRunsOnceAtEachHalfHourAfterStart)
{
    // Started at 11:59:30, just after a run the program knows nothing about.
    auto runs = RunsOver(kHalfHour, At(2024, 5, 14, 11, 59, 30), 2 * 3600);
    EXPECT_EQ(runs, (std::vector<std::string>{"05-14 12:00:00", "05-14 12:30:00", "05-14 13:00:00",
                                              "05-14 13:30:00"}));
}

TEST(ScheduleRuns, OneHourRunsAtTheFirstFullHourAfterStart)
{
    auto runs = RunsOver(kOneHour, At(2024, 5, 14, 10, 55, 0), 3 * 3600);
    EXPECT_EQ(runs, (std::vector<std::string>{"05-14 11:00:00", "05-14 12:00:00", "05-14 13:00:00"}));
}

TEST(ScheduleRuns, EightHourRunsThreeTimesADay)
{
    auto runs = RunsOver(kEightHour, At(2024, 5, 14, 0, 0, 0), 2 * kDay);
    EXPECT_EQ(runs, (std::vector<std::string>{"05-14 00:00:00", "05-14 08:00:00", "05-14 16:00:00",
                                              "05-15 00:00:00", "05-15 08:00:00", "05-15 16:00:00"}));
}

TEST(ScheduleRuns, OneDayRunsAtTenEachDay)
{
    auto runs = RunsOver(kOneDay, At(2024, 2, 28, 12, 0, 0), 3 * kDay);
    EXPECT_EQ(runs, (std::vector<std::string>{"02-29 10:00:00", "03-01 10:00:00", "03-02 10:00:00"}));
}

TEST(ScheduleRuns, OneWeekRunsOnTheSeventhFourteenthTwentyFirstAndTwentyEighth)
{
    auto runs = RunsOver(kOneWeek, At(2024, 1, 20, 0, 0, 0), 26 * kDay);
    EXPECT_EQ(runs, (std::vector<std::string>{"01-21 10:00:00", "01-28 10:00:00", "02-07 10:00:00",
                                              "02-14 10:00:00"}));
}

TEST(ScheduleRuns, OneMonthRunsOnTheFirstOfEachMonth)
{
    auto runs = RunsOver(kOneMonth, At(2024, 1, 15, 0, 0, 0), 80 * kDay);
    EXPECT_EQ(runs, (std::vector<std::string>{"02-01 10:00:00", "03-01 10:00:00", "04-01 10:00:00"}));
}

Settings Scheduled(uint32_t period)
{
    Settings settings;
    settings.enableSchedule = 1;
    settings.eraseAtEvery = 1;
    settings.erasePeriod = period;
    return settings;
}

TEST(ScheduleTimer, RunsADuePeriodOnlyWithBothSwitchesOnAndNoRunGoingOn)
{
    const SYSTEMTIME due = Clock(10, 0, 0);
    Settings settings = Scheduled(kOneDay);
    EXPECT_TRUE(IsEraseDue(settings, due, kLongAgo, false));
    EXPECT_FALSE(IsEraseDue(settings, due, kLongAgo, true));
    EXPECT_FALSE(IsEraseDue(settings, Clock(10, 0, 1), kLongAgo, false));
    EXPECT_FALSE(IsEraseDue(settings, due, 72000, false));

    settings.eraseAtEvery = 0;
    EXPECT_FALSE(IsEraseDue(settings, due, kLongAgo, false));
    settings = Scheduled(kOneDay);
    settings.enableSchedule = 0;
    EXPECT_FALSE(IsEraseDue(settings, due, kLongAgo, false));
    // "Erase at Startup" plays no part in the timer.
    settings = Scheduled(kOneDay);
    settings.eraseAtStartup = 1;
    EXPECT_TRUE(IsEraseDue(settings, due, kLongAgo, false));
}

TEST(ScheduleTimer, AnyNonZeroSwitchCountsAsOn)
{
    Settings settings = Scheduled(kOneHour);
    settings.enableSchedule = 7;
    settings.eraseAtEvery = 0x100;
    EXPECT_TRUE(IsEraseDue(settings, Clock(3, 0, 0), kLongAgo, false));
}

TEST(ScheduleTimer, NoSelectedPeriodNeverRuns)
{
    EXPECT_FALSE(IsEraseDue(Scheduled(0xFFFFFFFF), Clock(10, 0, 0), kLongAgo, false));
}

TEST(ScheduleTimer, BusyTicksThroughAWholeDueMinuteStartNothing)
{
    Settings settings = Scheduled(kHalfHour);
    for (WORD second = 0; second < 60; ++second)
        EXPECT_FALSE(IsEraseDue(settings, Clock(12, 30, second), kLongAgo, true)) << second;
}

} // namespace

#include "settings/ScheduledTask.h"

#include "engine/items/XmlName.h"
#include "framework/TaskScheduler.h"
#include "framework/Utf8.h"
#include "settings/Schedule.h"
#include "settings/Settings.h"

#include <cstdio>
#include <iterator>

namespace {

// The in-program schedule's moments two minutes late: the half-hours and hours all day, every eight hours
// from midnight, and 10:00 for the longer periods. An open window has erased and stored its time by then,
// so the task's erase sees that the period is done.
struct TaskTrigger {
    const char* startTime;
    const char* repetition; // within each day; null for none
    const char* schedule;   // the CalendarTrigger's ScheduleBy element
};

constexpr const char* kEveryDay = "<ScheduleByDay><DaysInterval>1</DaysInterval></ScheduleByDay>";
constexpr TaskTrigger kTriggers[kSchedulePeriodCount] = {
    {"00:02:00", "PT30M", kEveryDay},
    {"00:02:00", "PT1H", kEveryDay},
    {"00:02:00", "PT8H", kEveryDay},
    {"10:02:00", nullptr, kEveryDay},
    {"10:02:00", nullptr, "<ScheduleByDay><DaysInterval>7</DaysInterval></ScheduleByDay>"},
    {"10:02:00", nullptr,
     "<ScheduleByMonth><DaysOfMonth><Day>1</Day></DaysOfMonth><Months><January/><February/><March/><April/>"
     "<May/><June/><July/><August/><September/><October/><November/><December/></Months></ScheduleByMonth>"},
};

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string CurrentUserName()
{
    wchar_t name[256 + 1];
    DWORD size = static_cast<DWORD>(std::size(name));
    return GetUserNameW(name, &size) ? ToUtf8(name) : std::string("user");
}

std::string Today()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[16];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
    return text;
}

} // namespace

std::string EraseTaskName()
{
    return "Scheduled erase (" + CurrentUserName() + ")";
}

std::string EraseTaskRootName()
{
    return "Vestrel scheduled erase (" + CurrentUserName() + ")";
}

std::string EraseTaskXml(uint32_t period, const std::string& cliPath, const std::string& startDate)
{
    const TaskTrigger& trigger = kTriggers[period < kSchedulePeriodCount ? period : 0];
    std::string repetition = trigger.repetition ? std::string("<Repetition><Interval>") + trigger.repetition +
                                                      "</Interval><Duration>P1D</Duration></Repetition>"
                                                : std::string();
    // Missed runs (the PC was off) follow when it is next on; a run that hangs ends after two hours.
    return "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
           "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
           "<RegistrationInfo><Description>Erases the items ticked in Vestrel while Vestrel is closed, "
           "as its schedule says.</Description></RegistrationInfo>\n"
           "<Triggers><CalendarTrigger>" +
           repetition + "<StartBoundary>" + startDate + "T" + trigger.startTime +
           "</StartBoundary><Enabled>true</Enabled>" + trigger.schedule +
           "</CalendarTrigger></Triggers>\n"
           "<Principals><Principal><LogonType>InteractiveToken</LogonType>"
           "<RunLevel>LeastPrivilege</RunLevel></Principal></Principals>\n"
           "<Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"
           "<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
           "<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries><StartWhenAvailable>true</"
           "StartWhenAvailable>"
           "<ExecutionTimeLimit>PT2H</ExecutionTimeLimit><Enabled>true</Enabled></Settings>\n"
           "<Actions><Exec><Command>" +
           EscapedXmlText(cliPath) + "</Command><Arguments>" + kEraseTaskArguments +
           "</Arguments><WorkingDirectory>" + EscapedXmlText(FolderOf(cliPath)) +
           "</WorkingDirectory></Exec></Actions>\n"
           "</Task>\n";
}

HRESULT RegisterEraseTask(uint32_t period, const std::string& cliPath)
{
    TaskScheduler scheduler;
    std::string folderUsed;
    HRESULT result = scheduler.Register(kEraseTaskFolder, EraseTaskName(), EraseTaskRootName(),
                                        EraseTaskXml(period, cliPath, Today()), folderUsed);
    // One task per user: a task left in the other place by an earlier registration goes.
    if (SUCCEEDED(result) && folderUsed == kEraseTaskFolder)
        scheduler.Remove("\\", EraseTaskRootName());
    else if (SUCCEEDED(result))
        scheduler.Remove(kEraseTaskFolder, EraseTaskName());
    return result;
}

HRESULT RemoveEraseTask()
{
    TaskScheduler scheduler;
    HRESULT inFolder = scheduler.Remove(kEraseTaskFolder, EraseTaskName());
    HRESULT inRoot = scheduler.Remove("\\", EraseTaskRootName());
    if (FAILED(inFolder))
        return inFolder;
    if (FAILED(inRoot))
        return inRoot;
    return inFolder == S_OK || inRoot == S_OK ? S_OK : S_FALSE;
}

bool IsEraseTaskRegistered()
{
    TaskScheduler scheduler;
    std::string xml;
    return SUCCEEDED(scheduler.ReadXml(kEraseTaskFolder, EraseTaskName(), xml)) ||
           SUCCEEDED(scheduler.ReadXml("\\", EraseTaskRootName(), xml));
}

HRESULT UpdateEraseTask(const Settings& running, bool whenClosed, const std::string& cliPath)
{
    bool wanted = whenClosed && running.enableSchedule && running.eraseAtEvery &&
                  running.erasePeriod < kSchedulePeriodCount;
    if (wanted)
        return RegisterEraseTask(running.erasePeriod, cliPath);
    HRESULT removed = RemoveEraseTask();
    return SUCCEEDED(removed) ? S_OK : removed;
}

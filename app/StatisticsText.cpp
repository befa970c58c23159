#include "app/StatisticsText.h"

#include "framework/NumberText.h"

#include <vector>

namespace {

std::string FirstThatFits(const std::vector<std::string>& forms, const StatisticsLineFits& fits)
{
    for (const std::string& form : forms) {
        if (fits(form))
            return form;
    }
    return forms.back();
}

SYSTEMTIME SystemTime(const std::tm& time)
{
    SYSTEMTIME system{};
    system.wYear = static_cast<WORD>(time.tm_year + 1900);
    system.wMonth = static_cast<WORD>(time.tm_mon + 1);
    system.wDay = static_cast<WORD>(time.tm_mday);
    system.wHour = static_cast<WORD>(time.tm_hour);
    system.wMinute = static_cast<WORD>(time.tm_min);
    return system;
}

} // namespace

std::string LastErasedText(const EraseStatistics& statistics)
{
    const std::string& stored = statistics.lastErasedText;
    if (stored.empty())
        return "Never";
    std::optional<std::tm> time = ParseLastErasedTime(stored);
    std::string shown = time ? ShortDateTimeText(SystemTime(*time)) : std::string();
    return shown.empty() ? stored : shown;
}

std::string LastErasedLine(const EraseStatistics& statistics)
{
    return "Last Erased: " + LastErasedText(statistics) +
           "; Registry Keys Erased: " + GroupedNumber(statistics.registryEntriesErased);
}

std::string FilesErasedLine(const EraseStatistics& statistics)
{
    return "Files Erased: " + GroupedNumber(statistics.filesErased) +
           ";  Released HD Space: " + SizeText(statistics.bytesReleased) + "; ";
}

std::string LastErasedLine(const EraseStatistics& statistics, const StatisticsLineFits& fits)
{
    const std::string last = LastErasedText(statistics);
    const std::string keys = GroupedNumber(statistics.registryEntriesErased);
    return FirstThatFits({LastErasedLine(statistics), "Last Erased: " + last + "; Registry Keys: " + keys,
                          "Last: " + last + "; Keys: " + keys},
                         fits);
}

std::string FilesErasedLine(const EraseStatistics& statistics, const StatisticsLineFits& fits)
{
    const std::string files = GroupedNumber(statistics.filesErased);
    const std::string size = SizeText(statistics.bytesReleased);
    return FirstThatFits(
        {FilesErasedLine(statistics), "Files Erased: " + files + ";  Released HD Space: " + size,
         "Files Erased: " + files + "; Released: " + size, "Files: " + files + "; Freed: " + size},
        fits);
}

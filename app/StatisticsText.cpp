#include "app/StatisticsText.h"

#include "run/ItemPreview.h"
#include "framework/Format.h"

#include <vector>

namespace {

constexpr uint64_t kKilobyte = 1024;
constexpr uint64_t kGigabyte = kKilobyte * kKilobyte * kKilobyte;
constexpr uint64_t kTerabyte = kKilobyte * kGigabyte;

std::string FirstThatFits(const std::vector<std::string>& forms, const StatisticsLineFits& fits)
{
    for (const std::string& form : forms) {
        if (fits(form))
            return form;
    }
    return forms.back();
}

// Whole kilobytes below 10,240 KB, then whole megabytes, gigabytes and terabytes, each from 10,240 of the
// unit below, rounded down and grouped: "10,239 KB", "4,095 MB".
std::string WholeSize(uint64_t bytes)
{
    const char* const units[] = {"KB", "MB", "GB", "TB"};
    uint64_t size = bytes / kKilobyte;
    size_t unit = 0;
    for (; size >= 10240 && unit + 1 < std::size(units); ++unit)
        size /= kKilobyte;
    return GroupedNumber(size) + " " + units[unit];
}

// Tenths of a terabyte or gigabyte from one of them on, whole megabytes or kilobytes below.
std::string ShortSize(uint64_t bytes)
{
    if (bytes >= kTerabyte)
        return Format("%.1f TB", static_cast<double>(bytes) / static_cast<double>(kTerabyte));
    if (bytes >= kGigabyte)
        return Format("%.1f GB", static_cast<double>(bytes) / static_cast<double>(kGigabyte));
    return WholeSize(bytes);
}

} // namespace

std::string LastErasedLine(const EraseStatistics& statistics)
{
    return "Last Erased: " + statistics.lastErasedText +
           "; Registry Keys Erased: " + GroupedNumber(statistics.registryEntriesErased);
}

std::string FilesErasedLine(const EraseStatistics& statistics)
{
    return "Files Erased: " + GroupedNumber(statistics.filesErased) +
           ";  Released HD Space: " + WholeSize(statistics.bytesReleased) + "; ";
}

std::string LastErasedLine(const EraseStatistics& statistics, const StatisticsLineFits& fits)
{
    const std::string& last = statistics.lastErasedText;
    const std::string keys = GroupedNumber(statistics.registryEntriesErased);
    return FirstThatFits({LastErasedLine(statistics), "Last Erased: " + last + "; Registry Keys: " + keys,
                          "Last: " + last + "; Keys: " + keys},
                         fits);
}

std::string FilesErasedLine(const EraseStatistics& statistics, const StatisticsLineFits& fits)
{
    const std::string files = GroupedNumber(statistics.filesErased);
    const std::string size = ShortSize(statistics.bytesReleased);
    return FirstThatFits(
        {FilesErasedLine(statistics), "Files Erased: " + files + ";  Released HD Space: " + size,
         "Files Erased: " + files + "; Released: " + size, "Files: " + files + "; Freed: " + size},
        fits);
}

#include "app/StatisticsText.h"

#include "framework/Format.h"

#include <vector>

namespace {

constexpr uint32_t kMegabyte = 1048576;
constexpr uint32_t kGigabyte = 1024 * kMegabyte;

std::string FirstThatFits(const std::vector<std::string>& forms, const StatisticsLineFits& fits)
{
    for (const std::string& form : forms) {
        if (fits(form))
            return form;
    }
    return forms.back();
}

// Tenths of a gigabyte from a gigabyte on, whole megabytes below.
std::string ShortSize(uint32_t bytes)
{
    if (bytes >= kGigabyte)
        return Format("%.1f GB", bytes / static_cast<double>(kGigabyte));
    if (bytes >= 10240u * 1024u)
        return Format("%u MB", bytes / kMegabyte);
    return Format("%u KB", bytes / 1024);
}

} // namespace

std::string LastErasedLine(const EraseStatistics& statistics)
{
    return Format("Last Erased: %s; Registry Keys Erased: %u", statistics.lastErasedText.c_str(),
                  statistics.registryEntriesErased);
}

std::string FilesErasedLine(const EraseStatistics& statistics)
{
    uint32_t kilobytes = statistics.bytesReleased / 1024;
    if (kilobytes < 10240)
        return Format("Files Erased: %u;  Released HD Space: %u KB; ", statistics.filesErased, kilobytes);
    return Format("Files Erased: %u;  Released HD Space: %u MB; ", statistics.filesErased,
                  statistics.bytesReleased / 1048576);
}

std::string LastErasedLine(const EraseStatistics& statistics, const StatisticsLineFits& fits)
{
    const char* last = statistics.lastErasedText.c_str();
    const uint32_t keys = statistics.registryEntriesErased;
    return FirstThatFits({LastErasedLine(statistics), Format("Last Erased: %s; Registry Keys: %u", last, keys),
                          Format("Last: %s; Keys: %u", last, keys)},
                         fits);
}

std::string FilesErasedLine(const EraseStatistics& statistics, const StatisticsLineFits& fits)
{
    const uint32_t files = statistics.filesErased;
    const std::string size = ShortSize(statistics.bytesReleased);
    return FirstThatFits({FilesErasedLine(statistics),
                          Format("Files Erased: %u;  Released HD Space: %s", files, size.c_str()),
                          Format("Files Erased: %u; Released: %s", files, size.c_str()),
                          Format("Files: %u; Freed: %s", files, size.c_str())},
                         fits);
}

#include "app/StatisticsText.h"

#include "framework/Format.h"

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

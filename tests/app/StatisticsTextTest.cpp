#include "app/StatisticsText.h"

#include <gtest/gtest.h>

namespace {

EraseStatistics WithBytes(uint32_t bytes)
{
    EraseStatistics statistics;
    statistics.filesErased = 7;
    statistics.bytesReleased = bytes;
    return statistics;
}

TEST(StatisticsText, KilobytesBelowTenMegabytesThenMegabytes)
{
    EXPECT_EQ(FilesErasedLine(WithBytes(10485759)), "Files Erased: 7;  Released HD Space: 10239 KB; ");
    EXPECT_EQ(FilesErasedLine(WithBytes(10485760)), "Files Erased: 7;  Released HD Space: 10 MB; ");
    EXPECT_EQ(FilesErasedLine(WithBytes(1023)), "Files Erased: 7;  Released HD Space: 0 KB; ");
    EXPECT_EQ(FilesErasedLine(WithBytes(0xFFFFFFFFu)), "Files Erased: 7;  Released HD Space: 4095 MB; ");
}

TEST(StatisticsText, LastErasedLineShowsTheTextAndRegistryTotal)
{
    EraseStatistics statistics;
    EXPECT_EQ(LastErasedLine(statistics), "Last Erased: ; Registry Keys Erased: 0");
    statistics.lastErasedText = "09:05, Jul/03/26";
    statistics.registryEntriesErased = 1284;
    EXPECT_EQ(LastErasedLine(statistics), "Last Erased: 09:05, Jul/03/26; Registry Keys Erased: 1284");
}

} // namespace

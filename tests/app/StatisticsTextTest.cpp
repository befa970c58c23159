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

namespace {

// A panel that holds lines of up to so many characters.
StatisticsLineFits Holds(size_t characters)
{
    return [characters](const std::string& line) { return line.size() <= characters; };
}

TEST(StatisticsText, LinesTooWideForThePanelSwitchToGigabytesThenShorterWords)
{
    EraseStatistics statistics = WithBytes(0xFFFFFFFFu);
    statistics.filesErased = 4000000000u;
    EXPECT_EQ(FilesErasedLine(statistics, Holds(200)), FilesErasedLine(statistics));
    EXPECT_EQ(FilesErasedLine(statistics, Holds(52)), "Files Erased: 4000000000;  Released HD Space: 4.0 GB");
    EXPECT_EQ(FilesErasedLine(statistics, Holds(42)), "Files Erased: 4000000000; Released: 4.0 GB");
    EXPECT_EQ(FilesErasedLine(statistics, Holds(10)), "Files: 4000000000; Freed: 4.0 GB");
    // Below a gigabyte the short forms keep the usual units.
    EXPECT_EQ(FilesErasedLine(WithBytes(20 * 1048576), Holds(30)), "Files: 7; Freed: 20 MB");
    EXPECT_EQ(FilesErasedLine(WithBytes(5 * 1024), Holds(30)), "Files: 7; Freed: 5 KB");

    statistics.lastErasedText = "09:05, Jul/03/26";
    statistics.registryEntriesErased = 4000000000u;
    EXPECT_EQ(LastErasedLine(statistics, Holds(200)), LastErasedLine(statistics));
    EXPECT_EQ(LastErasedLine(statistics, Holds(56)), "Last Erased: 09:05, Jul/03/26; Registry Keys: 4000000000");
    EXPECT_EQ(LastErasedLine(statistics, Holds(10)), "Last: 09:05, Jul/03/26; Keys: 4000000000");
}

} // namespace

#include "app/StatisticsText.h"

#include <gtest/gtest.h>

namespace {

EraseStatistics WithBytes(uint64_t bytes)
{
    EraseStatistics statistics;
    statistics.filesErased = 7;
    statistics.bytesReleased = bytes;
    return statistics;
}

TEST(StatisticsText, KilobytesBelowTenMegabytesThenMegabytes)
{
    EXPECT_EQ(FilesErasedLine(WithBytes(10485759)), "Files Erased: 7;  Released HD Space: 10,239 KB; ");
    EXPECT_EQ(FilesErasedLine(WithBytes(10485760)), "Files Erased: 7;  Released HD Space: 10 MB; ");
    EXPECT_EQ(FilesErasedLine(WithBytes(1023)), "Files Erased: 7;  Released HD Space: 0 KB; ");
    EXPECT_EQ(FilesErasedLine(WithBytes(0xFFFFFFFFu)), "Files Erased: 7;  Released HD Space: 4,095 MB; ");
}

TEST(StatisticsText, TotalsPast32BitsAreGroupedInGigabytesAndTerabytes)
{
    EraseStatistics statistics = WithBytes(4ull << 40);
    statistics.filesErased = 4294967000ull + 1000;
    EXPECT_EQ(FilesErasedLine(statistics), "Files Erased: 4,294,968,000;  Released HD Space: 4,096 GB; ");
    statistics.bytesReleased = 10240ull << 40;
    EXPECT_EQ(FilesErasedLine(statistics), "Files Erased: 4,294,968,000;  Released HD Space: 10,240 TB; ");
    statistics.bytesReleased = 10240ull << 20;
    EXPECT_EQ(FilesErasedLine(statistics), "Files Erased: 4,294,968,000;  Released HD Space: 10 GB; ");
    statistics.registryEntriesErased = 5000000000ull;
    EXPECT_EQ(LastErasedLine(statistics), "Last Erased: ; Registry Keys Erased: 5,000,000,000");
}

TEST(StatisticsText, LastErasedLineShowsTheTextAndRegistryTotal)
{
    EraseStatistics statistics;
    EXPECT_EQ(LastErasedLine(statistics), "Last Erased: ; Registry Keys Erased: 0");
    statistics.lastErasedText = "09:05, Jul/03/26";
    statistics.registryEntriesErased = 1284;
    EXPECT_EQ(LastErasedLine(statistics), "Last Erased: 09:05, Jul/03/26; Registry Keys Erased: 1,284");
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
    EXPECT_EQ(FilesErasedLine(statistics, Holds(55)),
              "Files Erased: 4,000,000,000;  Released HD Space: 4.0 GB");
    EXPECT_EQ(FilesErasedLine(statistics, Holds(45)), "Files Erased: 4,000,000,000; Released: 4.0 GB");
    EXPECT_EQ(FilesErasedLine(statistics, Holds(10)), "Files: 4,000,000,000; Freed: 4.0 GB");
    statistics.bytesReleased = 3ull << 40;
    EXPECT_EQ(FilesErasedLine(statistics, Holds(10)), "Files: 4,000,000,000; Freed: 3.0 TB");
    // Below a gigabyte the short forms keep the usual units.
    EXPECT_EQ(FilesErasedLine(WithBytes(20 * 1048576), Holds(30)), "Files: 7; Freed: 20 MB");
    EXPECT_EQ(FilesErasedLine(WithBytes(5 * 1024), Holds(30)), "Files: 7; Freed: 5 KB");

    statistics.lastErasedText = "09:05, Jul/03/26";
    statistics.registryEntriesErased = 4000000000u;
    EXPECT_EQ(LastErasedLine(statistics, Holds(200)), LastErasedLine(statistics));
    EXPECT_EQ(LastErasedLine(statistics, Holds(59)),
              "Last Erased: 09:05, Jul/03/26; Registry Keys: 4,000,000,000");
    EXPECT_EQ(LastErasedLine(statistics, Holds(10)), "Last: 09:05, Jul/03/26; Keys: 4,000,000,000");
}

} // namespace

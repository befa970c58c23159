#include "app/StatisticsText.h"
#include "framework/NumberText.h"

#include <gtest/gtest.h>

namespace {

EraseStatistics WithBytes(uint64_t bytes)
{
    EraseStatistics statistics;
    statistics.filesErased = 7;
    statistics.bytesReleased = bytes;
    return statistics;
}

TEST(NumberText, SizesAndCountsAtTheUnitEdges)
{
    const NumberStyle english = NumberStyle::Locale(L"en-US");
    struct Case {
        uint64_t bytes;
        const char* text;
    };
    for (Case c : {Case{0, "0 bytes"}, Case{1, "1 byte"}, Case{1023, "1,023 bytes"}, Case{1024, "1 KB"},
                   Case{7 * 1024 + 1023, "7 KB"}, Case{1048575, "1,023 KB"}, Case{1048576, "1.0 MB"},
                   Case{89338675, "85.1 MB"}, Case{(1ull << 30) - 1, "1,023.9 MB"},
                   Case{1ull << 30, "1.0 GB"}, Case{1395864371, "1.2 GB"}, Case{1ull << 40, "1.0 TB"},
                   Case{10240ull << 40, "10,240.0 TB"}, Case{~0ull, "16,777,215.9 TB"}})
        EXPECT_EQ(SizeText(c.bytes, english), c.text) << c.bytes;

    EXPECT_EQ(CountText(1, "file", "files", english), "1 file");
    EXPECT_EQ(CountText(0, "file", "files", english), "0 files");
    EXPECT_EQ(CountText(2311, "file", "files", english), "2,311 files");
    EXPECT_EQ(CountText(1, "registry entry", "registry entries", english), "1 registry entry");
    EXPECT_EQ(CountText(57, "registry entry", "registry entries", english), "57 registry entries");
    EXPECT_EQ(GroupedNumber(1234567, english), "1,234,567");
    EXPECT_EQ(GroupedNumber(999, english), "999");
}

TEST(NumberText, DigitsFollowTheLocaleOnScreenAndStayBareInTheRecordFile)
{
    const NumberStyle german = NumberStyle::Locale(L"de-DE");
    EXPECT_EQ(GroupedNumber(1234567, german), "1.234.567");
    EXPECT_EQ(SizeText(89338675, german), "85,1 MB");
    // India groups by two above the thousands.
    EXPECT_EQ(GroupedNumber(12345678, NumberStyle::Locale(L"hi-IN")), "1,23,45,678");
    EXPECT_EQ(CountText(12345, "cookie", "cookies", NumberStyle::Plain()), "12345 cookies");
}

TEST(StatisticsText, SizesUseTheCommonUnits)
{
    EXPECT_EQ(FilesErasedLine(WithBytes(10485759)), "Files Erased: 7;  Released HD Space: 9.9 MB; ");
    EXPECT_EQ(FilesErasedLine(WithBytes(1023)), "Files Erased: 7;  Released HD Space: 1,023 bytes; ");
    EraseStatistics statistics = WithBytes(4ull << 40);
    statistics.filesErased = 4294967000ull + 1000;
    EXPECT_EQ(FilesErasedLine(statistics), "Files Erased: 4,294,968,000;  Released HD Space: 4.0 TB; ");
}

TEST(StatisticsText, LastErasedShowsNeverThenTheStoredTimeInTheUserFormat)
{
    EraseStatistics statistics;
    statistics.registryEntriesErased = 5000000000ull;
    EXPECT_EQ(LastErasedLine(statistics), "Last Erased: Never; Registry Keys Erased: 5,000,000,000");

    statistics.lastErasedText = "09:05, Jul/03/26";
    SYSTEMTIME stored{};
    stored.wYear = 2026;
    stored.wMonth = 7;
    stored.wDay = 3;
    stored.wHour = 9;
    stored.wMinute = 5;
    EXPECT_EQ(LastErasedText(statistics), ShortDateTimeText(stored));
    EXPECT_EQ(ShortDateTimeText(stored, L"en-US"), "7/3/2026 9:05 AM");

    // A text another version stored stays as it is.
    statistics.lastErasedText = "Sat Jul 3 09:05";
    EXPECT_EQ(LastErasedText(statistics), "Sat Jul 3 09:05");
}

} // namespace

namespace {

// A panel that holds lines of up to so many characters.
StatisticsLineFits Holds(size_t characters)
{
    return [characters](const std::string& line) { return line.size() <= characters; };
}

TEST(StatisticsText, LinesTooWideForThePanelSwitchToShorterWords)
{
    EraseStatistics statistics = WithBytes(0xFFFFFFFFu);
    statistics.filesErased = 4000000000u;
    EXPECT_EQ(FilesErasedLine(statistics, Holds(200)), FilesErasedLine(statistics));
    EXPECT_EQ(FilesErasedLine(statistics, Holds(55)),
              "Files Erased: 4,000,000,000;  Released HD Space: 3.9 GB");
    EXPECT_EQ(FilesErasedLine(statistics, Holds(45)), "Files Erased: 4,000,000,000; Released: 3.9 GB");
    EXPECT_EQ(FilesErasedLine(statistics, Holds(10)), "Files: 4,000,000,000; Freed: 3.9 GB");

    statistics.lastErasedText = "not a time";
    statistics.registryEntriesErased = 4000000000u;
    EXPECT_EQ(LastErasedLine(statistics, Holds(200)), LastErasedLine(statistics));
    EXPECT_EQ(LastErasedLine(statistics, Holds(53)), "Last Erased: not a time; Registry Keys: 4,000,000,000");
    EXPECT_EQ(LastErasedLine(statistics, Holds(10)), "Last: not a time; Keys: 4,000,000,000");
}

} // namespace

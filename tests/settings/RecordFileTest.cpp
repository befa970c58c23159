#include "framework/RecordFile.h"
#include "tests/support/Sandbox.h"

namespace {

class RecordFileTest : public SandboxTest {
protected:
    RecordFile Write(const std::string& text)
    {
        WriteFile("record.log", text);
        return RecordFile(PathOf("record.log"));
    }
};

TEST_F(RecordFileTest, BlanksAroundNameAndValueAreRemoved)
{
    RecordFile record = Write("[log]\r\n  erased-file-num = 12 \r\n\terased-file-size=\t34\r\n");
    EXPECT_EQ(record.GetInt("log", "erased-file-num", 0), 12);
    EXPECT_EQ(record.GetInt("log", "erased-file-size", 0), 34);
    EXPECT_EQ(record.GetString("log", "erased-file-num", "x"), "12");
}

TEST_F(RecordFileTest, SectionMatchesExactly)
{
    RecordFile record = Write("[LOG]\nkey=1\n [log]\nkey=2\n[log] \nkey=3\n");
    EXPECT_EQ(record.GetInt("log", "key", -1), -1);
    EXPECT_EQ(record.GetInt("LOG", "key", -1), 1);
}

TEST_F(RecordFileTest, LinesThatNameNothingAreSkippedAndTheFirstKeyWins)
{
    RecordFile record = Write("\xEF\xBB\xBF[log]\n\n=5\nno equals sign\n  \nkey=first\nkey=second\n"
                              "[other]\nlater=7\n");
    EXPECT_EQ(record.GetString("log", "", "default"), "default");
    EXPECT_EQ(record.GetString("log", "key", ""), "first");
    EXPECT_EQ(record.GetInt("log", "later", 0), 7) << "the search runs on past the next section";
    EXPECT_EQ(record.GetString("log", "missing", "default"), "default");
}

TEST_F(RecordFileTest, IntegersAsAtoiReadsThem)
{
    RecordFile record = Write("[log]\nabc=abc\nempty=\nsigned=-17\nplus=+8\ntrailing=12abc\n"
                              "huge=99999999999999999999\nnegativeHuge=-99999999999999999999\n");
    EXPECT_EQ(record.GetInt("log", "abc", 5), 0);
    EXPECT_EQ(record.GetInt("log", "empty", 5), 5);
    EXPECT_EQ(record.GetInt("log", "signed", 0), -17);
    EXPECT_EQ(record.GetInt("log", "plus", 0), 8);
    EXPECT_EQ(record.GetInt("log", "trailing", 0), 12);
    EXPECT_EQ(record.GetInt("log", "huge", 0), 2147483647);
    EXPECT_EQ(record.GetInt("log", "negativeHuge", 0), -2147483647 - 1);
}

TEST_F(RecordFileTest, BooleansAreTrueOnlyForTrue)
{
    RecordFile record = Write("[s]\na=TRUE\nb=yes\nc=\nd=1\n");
    EXPECT_TRUE(record.GetBool("s", "a", false));
    EXPECT_FALSE(record.GetBool("s", "b", true));
    EXPECT_TRUE(record.GetBool("s", "c", true));
    EXPECT_FALSE(record.GetBool("s", "d", true));
}

TEST_F(RecordFileTest, MissingFileAndLongLinesAndNames)
{
    EXPECT_EQ(RecordFile(PathOf("missing.log")).GetInt("log", "key", 3), 3);
    std::string longValue(100000, '7');
    RecordFile record = Write("[日本]\n" + std::string(70000, 'x') + "\nkey=" + longValue + "\nキー=値\n");
    EXPECT_EQ(record.GetString("日本", "key", ""), longValue);
    EXPECT_EQ(record.GetString("日本", "キー", ""), "値");
    MakeFolder("名前 😀");
    WriteFile("名前 😀\\r.log", "[log]\nn=4\n");
    EXPECT_EQ(RecordFile(PathOf("名前 😀\\r.log")).GetInt("log", "n", 0), 4);
}

} // namespace

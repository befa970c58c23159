#include "framework/Utf8.h"
#include "settings/RecordLog.h"
#include "tests/support/CurrentFolder.h"
#include "tests/support/Sandbox.h"

#include <windows.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

namespace {

class RecordLogTest : public SandboxTest {
protected:
    std::vector<std::string> FileNames() const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAW entry;
        HANDLE find = FindFirstFileW(ToExtendedPath(PathOf("*")).c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(ToUtf8(entry.cFileName));
        } while (FindNextFileW(find, &entry));
        FindClose(find);
        return names;
    }
};

// "[2004-07-03 09:05:00]": zero-padded, each part within its range.
void ExpectStampedLine(const std::string& line, const std::string& message)
{
    std::smatch parts;
    ASSERT_TRUE(
        std::regex_match(line, parts, std::regex(R"(\[(\d{4})-(\d\d)-(\d\d) (\d\d):(\d\d):(\d\d)\](.*))")))
        << line;
    EXPECT_LE(std::stoi(parts[2]), 12);
    EXPECT_LE(std::stoi(parts[4]), 23);
    EXPECT_EQ(parts[7].str(), message);
}

TEST_F(RecordLogTest, AppendsStampedLinesUpToTheMaximumLevel)
{
    RecordLog log(PathOf("vestrel.log"));
    log.Write("IE Cache done...");
    log.Write("level five", 5);
    log.Write("level six is dropped", 6);
    RecordLog(PathOf("vestrel.log")).Write("名前 😀");

    std::string text = ReadFile("vestrel.log");
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    ASSERT_EQ(lines.size(), 3u) << text;
    EXPECT_TRUE(text.ends_with("\r\n"));
    ExpectStampedLine(lines[0], "IE Cache done...");
    ExpectStampedLine(lines[1], "level five");
    ExpectStampedLine(lines[2], "名前 😀");
}

// A name, a path or a reason that holds line breaks or other control characters cannot forge a line: each
// message stays one line, its characters escaped.
TEST_F(RecordLogTest, NoTextOfAMessageStartsALineOfItsOwn)
{
    RecordLog log(PathOf("vestrel.log"));
    log.Write("Evil\r\n[2001-01-01 00:00:00]Firefox Cookies done...");
    log.Write("could not list S:\\a\nb\tc\x1b[2J\x7f: denied");
    log.Write("next\xC2\x85line\xE2\x80\xA8sep \xC3\xA4");
    std::string text = ReadFile("vestrel.log");
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    ASSERT_EQ(lines.size(), 3u) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    ExpectStampedLine(lines[0], "Evil\\r\\n[2001-01-01 00:00:00]Firefox Cookies done...");
    ExpectStampedLine(lines[1], "could not list S:\\a\\nb\\tc\\x1b[2J\\x7f: denied");
    ExpectStampedLine(lines[2], "next\\u0085line\\u2028sep \xC3\xA4");
}

TEST_F(RecordLogTest, SetsTheFileAsideAtTheSizeLimit)
{
    WriteFile("vestrel.log", std::string(639900, 'x'));
    RecordLog log(PathOf("vestrel.log"));
    log.Write("still below the limit");
    EXPECT_EQ(FileNames(), std::vector<std::string>{"vestrel.log"});

    log.Write(std::string(100, 'y'));
    std::vector<std::string> names = FileNames();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(std::regex_match(names[0], std::regex(R"(\[\d{4}-\d\d-\d\d \d\d-\d\d-\d\d\]vestrel\.log)")))
        << names[0];
    EXPECT_GE(ReadFile(names[0]).size(), 640000u);

    log.Write("fresh");
    EXPECT_EQ(FileNames().size(), 2u);
    ExpectStampedLine(ReadFile("vestrel.log").substr(0, ReadFile("vestrel.log").size() - 2), "fresh");
}

TEST_F(RecordLogTest, PathWithoutFolderIsSetAsideInTheCurrentFolder)
{
    WriteFile("plain.log", std::string(640000, 'x'));
    {
        CurrentFolderForTest current(Folder());
        ASSERT_TRUE(current.entered());
        RecordLog("plain.log").Write("over");
    }
    std::vector<std::string> names = FileNames();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(names[0].starts_with("[") && names[0].ends_with("]plain.log")) << names[0];
}

TEST_F(RecordLogTest, UnopenableFileLosesTheLineSilently)
{
    RecordLog(PathOf("missing folder\\vestrel.log")).Write("lost");
    EXPECT_FALSE(Exists("missing folder"));
}

} // namespace

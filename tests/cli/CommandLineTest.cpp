#include "cli/CommandLine.h"
#include "cli/RunProgress.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, CommandsIdsAndJsonInAnyOrder)
{
    CliRequest list = ParseCommandLine({"list"});
    EXPECT_EQ(list.command, CliCommand::List);
    EXPECT_FALSE(list.json);
    EXPECT_TRUE(list.error.empty());

    CliRequest erase = ParseCommandLine({"--json", "erase", "b", "a", "b"});
    EXPECT_EQ(erase.command, CliCommand::Erase);
    EXPECT_TRUE(erase.json);
    EXPECT_EQ(erase.ids, (std::vector<std::string>{"b", "a"})) << "each id once";
    EXPECT_EQ(ParseCommandLine({"preview", "x", "--json"}).command, CliCommand::Preview);
}

TEST(CommandLine, HelpWinsOverEverythingElse)
{
    for (const char* help : {"--help", "-h", "/?"}) {
        CliRequest request = ParseCommandLine({"wipe", "--bogus", help});
        EXPECT_EQ(request.command, CliCommand::Help) << help;
        EXPECT_TRUE(request.error.empty()) << help;
    }
}

TEST(CommandLine, BadUsageIsNamedAndStillKnowsItWantsJson)
{
    EXPECT_EQ(ParseCommandLine({}).error, "no command given");
    EXPECT_EQ(ParseCommandLine({"--json"}).error, "no command given");
    EXPECT_EQ(ParseCommandLine({"List"}).error, "unknown command: List");
    EXPECT_EQ(ParseCommandLine({"erase", "-f"}).error, "unknown option: -f");
    EXPECT_EQ(ParseCommandLine({"list", "x"}).error, "list takes no item ids");
    CliRequest wrong = ParseCommandLine({"wipe", "--json"});
    EXPECT_FALSE(wrong.error.empty());
    EXPECT_TRUE(wrong.json);
}

TEST(CommandLine, ImportTakesOneFileAndOnlyItTakesReplace)
{
    CliRequest import = ParseCommandLine({"import-winapp2", "--replace", "rules.ini"});
    EXPECT_EQ(import.command, CliCommand::ImportRules);
    EXPECT_TRUE(import.replace);
    EXPECT_EQ(import.ids, std::vector<std::string>{"rules.ini"});
    EXPECT_EQ(ParseCommandLine({"import-winapp2"}).error, "import-winapp2 takes one rules file");
    EXPECT_EQ(ParseCommandLine({"import-winapp2", "a.ini", "b.ini"}).error,
              "import-winapp2 takes one rules file");
    EXPECT_EQ(ParseCommandLine({"erase", "--replace"}).error, "unknown option: --replace");
}

TEST(CommandLine, AWipeTakesOneDrive)
{
    CliRequest wipe = ParseCommandLine({"wipe-free-space", "D:", "--json"});
    EXPECT_EQ(wipe.command, CliCommand::WipeFreeSpace);
    EXPECT_EQ(wipe.ids, std::vector<std::string>{"D:"});
    EXPECT_TRUE(wipe.json);
    EXPECT_EQ(ParseCommandLine({"wipe-free-space"}).error, "wipe-free-space takes one drive (D:)");
    EXPECT_EQ(ParseCommandLine({"wipe-free-space", "C:", "D:"}).error,
              "wipe-free-space takes one drive (D:)");
}

TEST(RunProgress, QuietForAMomentThenOneLinePerItem)
{
    uint64_t now = 100;
    std::string lines;
    RunProgress progress(
        3, [&lines](const std::string& line) { lines += line; }, [&now] { return now; });
    now += RunProgress::kQuietMs - 1;
    progress.ItemStarted("One");
    EXPECT_EQ(lines, "");
    now += 1;
    progress.ItemStarted("Two");
    progress.ItemStarted("Three");
    EXPECT_EQ(lines, "[2/3] Two\n[3/3] Three\n");
}

} // namespace

#include "app/Shell.h"
#include "framework/Utf8.h"
#include "tests/support/Processes.h"
#include "tests/support/Sandbox.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <vector>

namespace {

class ShellTest : public SandboxTest {
protected:
    std::vector<std::string> ReportAs(const std::string& exeName)
    {
        std::string exe = PathOf(exeName);
        EXPECT_TRUE(CopyFileForTest(TestProgramFolder() + "app_services_probe.exe", exe));
        EXPECT_EQ(RunAndWait("\"" + exe + "\" \"" + PathOf("report.txt") + "\""), 0);
        std::istringstream in(ReadFile("report.txt"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
};

TEST_F(ShellTest, HelpAndPagesBelongToTheRenamedExecutable)
{
    MakeFolder("My Apps");
    auto lines = ReportAs("My Apps\\clean.exe");
    ASSERT_EQ(lines.size(), 3u);
    // The viewer takes the rest of its command line as the path, blanks and all.
    EXPECT_EQ(lines[0], "hh.exe " + Folder() + "My Apps\\clean.chm");
    EXPECT_EQ(lines[1], Folder() + "My Apps\\docs\\index.html");
    EXPECT_EQ(lines[2], Folder() + "My Apps\\docs\\plugins.html");
}

// The program folder built beside the test programs: P: for T:, Q: for U:.
std::string ProgramFolder()
{
    return TestProgramFolder()[0] == 'T' ? "P:\\" : "Q:\\";
}

std::string ReadShipped(const std::string& relative)
{
    std::ifstream in(std::filesystem::path(ToWide(ProgramFolder() + relative)), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ShippedPages, AreInTheProgramFolderAndNeedNothingFromOutside)
{
    for (const char* page : {"docs\\index.html", "docs\\plugins.html"}) {
        std::string html = ReadShipped(page);
        ASSERT_FALSE(html.empty()) << page << " is missing";
        EXPECT_NE(html.find("<title>"), std::string::npos) << page;
        EXPECT_NE(html.find("</html>"), std::string::npos) << page;
        // Every link and source is a local page or an anchor: the pages open offline, from any folder.
        std::regex reference(R"re((?:href|src)\s*=\s*"([^"]*)")re");
        for (std::sregex_iterator it(html.begin(), html.end(), reference), end; it != end; ++it) {
            std::string target = (*it)[1];
            EXPECT_TRUE(target[0] == '#' || target == "index.html" || target == "plugins.html")
                << page << " refers to " << target;
        }
        EXPECT_EQ(html.find("url("), std::string::npos) << page;
        EXPECT_EQ(html.find("@import"), std::string::npos) << page;
    }
}

TEST(ShippedPages, LinkEachOther)
{
    EXPECT_NE(ReadShipped("docs\\index.html").find("href=\"plugins.html\""), std::string::npos);
    EXPECT_NE(ReadShipped("docs\\plugins.html").find("href=\"index.html\""), std::string::npos);
}

} // namespace

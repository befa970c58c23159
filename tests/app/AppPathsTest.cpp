#include "settings/AppPaths.h"
#include "framework/Utf8.h"
#include "tests/support/Processes.h"
#include "tests/support/Sandbox.h"

#include <windows.h>

#include <sstream>
#include <vector>

namespace {

class AppPathsTest : public SandboxTest {
protected:
    // Runs the path reporter copied under another name and returns the lines it wrote.
    std::vector<std::string> ReportAs(const std::string& exeName)
    {
        std::string exe = PathOf(exeName);
        EXPECT_TRUE(CopyFileForTest(TestProgramFolder() + "report_paths.exe", exe));
        std::string report = PathOf("report.txt");
        EXPECT_EQ(RunAndWait("\"" + exe + "\" \"" + report + "\""), 0);
        std::istringstream in(ReadFile("report.txt"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
};

TEST_F(AppPathsTest, FilesAreNamedAfterTheExecutableInItsFolder)
{
    for (std::string name : {"clean", "tidy"}) {
        auto lines = ReportAs(name + ".exe");
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(lines[0], Folder());
        EXPECT_EQ(lines[1], Folder() + name + ".log");
        EXPECT_EQ(lines[2], Folder() + name + ".conf");
        EXPECT_EQ(lines[3], Folder() + name + ".chm");
        EXPECT_EQ(lines[4], Folder() + "plugin\\");
    }
}

TEST_F(AppPathsTest, FolderWithNonAnsiNameAndBlanks)
{
    MakeFolder("Programme für 日本");
    auto lines = ReportAs("Programme für 日本\\clean.exe");
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], Folder() + "Programme für 日本\\");
    EXPECT_EQ(lines[1], Folder() + "Programme für 日本\\clean.log");
}

TEST_F(AppPathsTest, WindowsXpConfiguredForTheProgramReportsFivePointOne)
{
    // Wine takes a per-program Windows version from its own registry settings.
    std::wstring key = L"Software\\Wine\\AppDefaults\\xp_probe.exe";
    HKEY handle;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                              nullptr),
              ERROR_SUCCESS);
    const wchar_t version[] = L"winxp";
    RegSetValueExW(handle, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version), sizeof version);
    RegCloseKey(handle);

    auto lines = ReportAs("xp_probe.exe");
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[5], "5.1");
}

TEST(WindowsVersion, TextAsPluginFilesWriteIt)
{
    struct Case {
        unsigned major, minor;
        const char* text;
    };
    for (Case c : {Case{4, 0, "4"}, Case{4, 10, "5"}, Case{5, 0, "5"}, Case{5, 1, "5.1"}, Case{6, 1, "6.1"},
                   Case{10, 0, "10"}})
        EXPECT_EQ(FormatWindowsVersion(WindowsVersionFromParts(c.major, c.minor)), c.text)
            << c.major << "." << c.minor;
}

} // namespace

#include "tests/plugins/PluginChecker.h"
#include "tests/support/Sandbox.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Variant {
    std::string version;
    std::vector<std::string> parameters;
};

std::string PluginText(const std::string& id, const std::string& type, const std::string& command,
                       const std::vector<Variant>& variants, const std::string& descript = "An item")
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<vestrel-plugin><head>h</head><body>"
                       "<descript>" +
                       descript + "</descript><id>" + id + "</id><type>" + type + "</type><command>" +
                       command + "</command><parameters>";
    for (const Variant& variant : variants) {
        text += variant.version.empty() ? std::string("<parameters>")
                                        : "<parameters windows-version=\"" + variant.version + "\">";
        for (const std::string& parameter : variant.parameters)
            text += "<item>" + parameter + "</item>";
        text += "</parameters>";
    }
    return text + "</parameters></body></vestrel-plugin>\r\n";
}

std::string Otherwise(const std::string& id, const std::string& command, const std::string& parameter,
                      const std::string& type = "application")
{
    return PluginText(id, type, command, {{"otherwise", {parameter}}});
}

class PluginCheckerTest : public SandboxTest {
protected:
    std::vector<std::string> Check(const std::string& text)
    {
        WriteFile("item.aep", text);
        return checker_.CheckFile(PathOf("item.aep"), {5.1, 10});
    }

    // The problems as one text, for matching and for the failure message.
    std::string Problems(const std::string& text)
    {
        std::string all;
        for (const std::string& problem : Check(text))
            all += problem + "\n";
        return all;
    }

    PluginChecker checker_{ProtectedFolders::OfThisSystem()};
};

TEST_F(PluginCheckerTest, SoundFilesPass)
{
    EXPECT_EQ(
        Problems(Otherwise("java-cache", "delete-directory", "%userhome%\\AppData\\LocalLow\\Sun\\Java")),
        "");
    EXPECT_EQ(Problems(Otherwise("a.b_c", "delete-file", "%appdata%\\Example\\Logs\\*.log")), "");
    EXPECT_EQ(Problems(Otherwise("drive", "delete-file", "C:\\Example\\Cache\\*", "windows")), "");
    EXPECT_EQ(Problems(Otherwise(
                  "run-mru", "delete-register-value",
                  "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU\\*")),
              "");
    EXPECT_EQ(Problems(Otherwise("cache", "advance", "delete-ie-cache", "ie")), "");
    EXPECT_EQ(Problems(Otherwise("helper", "run", "cleanup.exe")), "");
    EXPECT_EQ(Problems(PluginText("xp", "windows", "delete-directory",
                                  {{"5.1", {"%userhome%\\Local Settings\\Temp"}},
                                   {"otherwise", {"%userhome%\\AppData\\Local\\Temp"}}})),
              "");
}

TEST_F(PluginCheckerTest, FindsWhatTheReaderWouldPassOver)
{
    struct Case {
        std::string text;
        std::string problem;
    };
    const std::string key = "HKEY_CURRENT_USER\\Software\\Example\\Recent";
    const std::vector<Case> cases = {
        {Otherwise("x", "delete-file", "%appdata%\\Example\\*.log", "apps"), "unknown type \"apps\""},
        {Otherwise("x", "erase-file", "%appdata%\\Example\\*.log"), "unknown command \"erase-file\""},
        {Otherwise("x", "advance", "delete-ie-cache-twice"), "no built-in cleaner"},
        {Otherwise("x", "delete-file", "Example\\*.log"), "starts with neither"},
        {Otherwise("x", "delete-file", "%tmp%\\*.log"), "starts with neither"},
        {Otherwise("x", "delete-file", "%appdataold%\\Example\\*.log"), "starts with neither"},
        {Otherwise("x", "delete-file", "%appdata%\\*.*"), "protected folder"},
        {Otherwise("x", "delete-file", "%windir%\\*.log"), "protected folder"},
        {Otherwise("x", "delete-file", "%documents%\\*.docx"), "protected folder"},
        {Otherwise("x", "delete-directory", "%userhome%"), "protected folder"},
        {Otherwise("x", "delete-directory", "%userhome%\\AppData"), "protected folder"},
        {Otherwise("x", "delete-directory", "C:\\"), "protected folder"},
        {Otherwise("x", "delete-file", "C:\\windows\\temp\\..\\*.log"), "\"..\" step"},
        {Otherwise("x", "delete-file", "%appdata%\\Example\\%user%\\*.log"), "no token"},
        {Otherwise("x", "delete-file", "%appdata%\\*\\cookies.sqlite"), "wildcard right inside a protected"},
        {Otherwise("x", "delete-directory", "%userhome%\\*\\Cache"), "wildcard right inside a protected"},
        {Otherwise("x", "delete-file", "%appdata%\\Example\\"), "ends in a backslash"},
        {Otherwise("x", "delete-register-key", "HKCU\\Software\\Example\\Recent"), "no known registry root"},
        {Otherwise("x", "delete-register-key", "Software\\Example\\Recent"), "no known registry root"},
        {Otherwise("x", "delete-register-key", "HKEY_CURRENT_USER\\Software\\Example"), "too near the root"},
        {Otherwise("x", "delete-register-key", key + "\\*"), "no pattern"},
        {Otherwise("x", "delete-register-value", key + "\\"), "no key or value name"},
        {Otherwise("x", "delete-register-key", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows"),
         "protected key"},
        {Otherwise("x", "delete-register-value", "HKEY_CURRENT_USER\\Software\\Policies\\*"),
         "protected key"},
        {Otherwise("x", "run", "..\\cleanup.exe"), "outside the plug-in folder"},
        {Otherwise("x", "run", "C:\\tools\\cleanup.exe"), "outside the plug-in folder"},
        {Otherwise("x", "delete-file", "%appdata%\\" + std::string(500, 'a')), "500 characters"},
        {PluginText("x", "windows", "delete-file", {{"otherwise", {}}}), "does nothing"},
        {PluginText("x", "windows", "delete-file", {{"5.1", {"C:\\x\\y"}}}), "no \"otherwise\" variant"},
        {PluginText("x", "windows", "delete-file", {{"5,1", {"C:\\x\\y"}}, {"otherwise", {"C:\\x\\y"}}}),
         "no Windows version is"},
        {PluginText("x", "windows", "delete-file", {{"", {"C:\\x\\y"}}, {"otherwise", {"C:\\x\\y"}}}),
         "without windows-version"},
        {PluginText("1st", "windows", "delete-file", {{"otherwise", {"C:\\x\\y"}}}), "does not load"},
        {"<vestrel-plugin><head/><body>", "does not load"},
    };
    for (const Case& c : cases) {
        std::string problems = Problems(c.text);
        EXPECT_NE(problems.find(c.problem), std::string::npos) << "expected \"" << c.problem << "\" for\n"
                                                               << c.text << "\ngot\n"
                                                               << problems;
    }
}

TEST_F(PluginCheckerTest, NamesTheVersionThatFails)
{
    std::string text =
        PluginText("x", "windows", "delete-file",
                   {{"5.1", {"%appdata%\\*.*"}}, {"otherwise", {"%appdata%\\Example\\*.log"}}});
    std::vector<std::string> problems = Check(text);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("item.aep on Windows 5.1"), std::string::npos) << problems[0];
}

TEST_F(PluginCheckerTest, IdsAndDescriptionsAreUniqueAcrossTheFolder)
{
    WriteFile("set\\one.aep",
              PluginText("same-id", "windows", "advance", {{"otherwise", {"delete-ie-cache"}}}, "One"));
    WriteFile("set\\two.aep",
              PluginText("same-id", "windows", "advance", {{"otherwise", {"delete-ie-cache"}}}, "Two"));
    WriteFile("set\\three.aep",
              PluginText("three", "windows", "advance", {{"otherwise", {"delete-ie-cache"}}}, "One"));
    std::string all;
    for (const std::string& problem : checker_.CheckFolder(PathOf("set"), {10}))
        all += problem + "\n";
    EXPECT_NE(all.find("two.aep: id \"same-id\" is taken by one.aep"), std::string::npos) << all;
    EXPECT_NE(all.find("three.aep: description \"One\" is taken by one.aep"), std::string::npos) << all;
}

TEST_F(PluginCheckerTest, AnEmptyFolderIsAProblem)
{
    MakeFolder("empty");
    EXPECT_EQ(checker_.CheckFolder(PathOf("empty"), {10}).size(), 1u);
}

} // namespace

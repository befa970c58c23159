#include "engine/items/XmlName.h"
#include "engine/items/XmlReader.h"
#include "tests/support/Processes.h"

#include <gtest/gtest.h>

namespace {

std::string ConfigData(const std::string& name)
{
    return TestProgramFolder() + "data\\config\\" + name;
}

TEST(XmlReaderTest, LookupsOnTheDocumentElementAndASelectedChild)
{
    XmlReader reader;
    ASSERT_TRUE(reader.Load(ConfigData("selection.conf")));
    EXPECT_TRUE(reader.IsLoaded());
    EXPECT_EQ(reader.GetText("said-true", "default"), "default"); // not a direct child of the root

    XmlReader app;
    ASSERT_TRUE(app.Load(ConfigData("selection.conf")));
    EXPECT_TRUE(reader.SelectChild("app-config", app));
    EXPECT_EQ(app.GetInt("current-page", 7), -42);
    EXPECT_EQ(app.GetInt("too-big", 0), 2147483647);
    EXPECT_EQ(app.GetInt("no-digits", 5), 0);
    EXPECT_EQ(app.GetInt("missing", -3), -3);

    EXPECT_FALSE(reader.SelectChild("Erase-Items", reader));
    ASSERT_TRUE(reader.SelectChild("erase-items", reader));
    EXPECT_EQ(reader.GetText("said-yes", ""), "yes");
    EXPECT_EQ(reader.GetText("twice", ""), "false"); // the first of two
    EXPECT_EQ(reader.GetText("grüße", ""), "false");
}

TEST(XmlReaderTest, OnlyTrueInAnyCaseReadsAsTrue)
{
    XmlReader reader;
    ASSERT_TRUE(reader.Load(ConfigData("selection.conf")));
    ASSERT_TRUE(reader.SelectChild("erase-items", reader));
    EXPECT_TRUE(reader.GetBool("said-true", false));
    EXPECT_TRUE(reader.GetBool("said-upper", false));
    EXPECT_FALSE(reader.GetBool("said-false", true));
    EXPECT_FALSE(reader.GetBool("said-yes", true));
    EXPECT_FALSE(reader.GetBool("said-one", true));
    EXPECT_FALSE(reader.GetBool("said-nothing", true));
    EXPECT_TRUE(reader.GetBool("missing", true));
    EXPECT_FALSE(reader.GetBool("missing", false));
}

TEST(XmlReaderTest, FilesThatDoNotLoad)
{
    for (const char* file : {"missing.conf", "doctype.conf"}) {
        XmlReader reader;
        EXPECT_FALSE(reader.Load(ConfigData(file))) << file;
        EXPECT_FALSE(reader.IsLoaded());
        EXPECT_EQ(reader.LastError(), "file failed to load!");
        EXPECT_EQ(reader.GetText("erase-items", "none"), "none");
    }
    XmlReader reader;
    ASSERT_TRUE(reader.Load(ConfigData("selection.conf")));
    EXPECT_FALSE(reader.Load(ConfigData("missing.conf")));
    EXPECT_FALSE(reader.IsLoaded()); // a failed load forgets the earlier document
    EXPECT_EQ(reader.GetText("app-config", "none"), "none");
}

TEST(XmlNameTest, NamesThatCanStandAsElementNames)
{
    for (const char* name : {"a", "ie-cache", "_x", "x.1", "Ünïcödé", "日本語", "a·b"})
        EXPECT_TRUE(IsXmlName(name)) << name;
    for (const char* name :
         {"", "a b", "1a", "-a", ".a", "a<b", "a&b", "a>b", "a:b", "a\"b", "a/b", "a\tb", "\xFF", "\xC3"})
        EXPECT_FALSE(IsXmlName(name)) << name;
}

} // namespace

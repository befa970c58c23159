#include "engine/items/EraseItem.h"
#include "framework/ErrorText.h"
#include "framework/LowerCase.h"
#include "tests/support/Processes.h"
#include "tests/support/Sandbox.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Texts = std::vector<std::string>;

std::string DataFile(const std::string& name)
{
    return TestProgramFolder() + "data\\plugins\\" + name;
}

EraseItem Load(const std::string& name, double windowsVersion = 10.0)
{
    EraseItem item;
    item.LoadFromFile(DataFile(name), windowsVersion);
    return item;
}

TEST(PluginLoadTest, CompleteFileFillsEveryField)
{
    EraseItem item;
    ASSERT_TRUE(item.LoadFromFile(DataFile("complete.aep"), 6.1));
    EXPECT_TRUE(item.loaded);
    EXPECT_EQ(item.errorText, "");
    EXPECT_EQ(item.path, DataFile("complete.aep"));
    EXPECT_EQ(item.head, "1.0Tests"); // all text inside the element
    EXPECT_EQ(item.descript, "Windows Temp Files");
    EXPECT_EQ(item.id, "win-temp");
    EXPECT_EQ(item.type, "windows");
    EXPECT_EQ(item.command, "delete-file");
    EXPECT_EQ(item.parameters, (Texts{"%temp%\\old files", "c:\\logs\\*.log"}));
}

TEST(PluginLoadTest, VariantOfTheRunningVersionWinsInEitherOrder)
{
    for (const char* file : {"variant-xp-first.aep", "variant-otherwise-first.aep"}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(Load(file, 5.1).parameters, Texts{"xp"});
        EXPECT_EQ(Load(file, 6.1).parameters, Texts{"other"});
    }
    // The version is compared as "%g" prints it: 10 and 5, not 10.0 and 5.0.
    EXPECT_EQ(Load("variant-otherwise-first.aep", 10.0).parameters, Texts{"ten"});
    EXPECT_EQ(Load("variant-otherwise-first.aep", 5.0).parameters, Texts{"five"});
}

TEST(PluginLoadTest, FirstOfTwoVariantsWithOneVersionIsUsed)
{
    EXPECT_EQ(Load("variant-duplicate.aep", 5.1).parameters, Texts{"first"});
    EXPECT_EQ(Load("variant-duplicate.aep", 6.0).parameters, Texts{"other"});
}

TEST(PluginLoadTest, VariantWithoutVersionIsNeverChosen)
{
    EXPECT_EQ(Load("variant-without-attribute.aep").parameters, Texts{"other"});
    const char noVariant[] = "node root->body->parameters->windows-version(otherwise) not found";
    for (const char* file : {"variant-only-without-attribute.aep", "variant-case.aep", "no-variant.aep"}) {
        EraseItem item = Load(file, 6.1);
        EXPECT_FALSE(item.loaded) << file;
        EXPECT_EQ(item.errorText, noVariant) << file;
    }
    EXPECT_TRUE(Load("no-variant.aep", 5.1).loaded);
}

TEST(PluginLoadTest, EmptyVariantLoadsWithoutParameters)
{
    EraseItem item = Load("variant-empty.aep");
    EXPECT_TRUE(item.loaded);
    EXPECT_TRUE(item.parameters.empty());
}

TEST(PluginLoadTest, CommandAndParametersAreLowerCasedNonAsciiLettersToo)
{
    EraseItem item = Load("lower-case.aep");
    ASSERT_TRUE(item.loaded);
    EXPECT_EQ(item.command, "delete-file");
    EXPECT_EQ(item.parameters,
              (Texts{"c:\\äöü\\σοφια\\привет\\dir", "hkey_current_user\\software\\mixed case"}));
    EXPECT_EQ(item.descript, "Test Item"); // only command and parameters are lower-cased
}

TEST(PluginLoadTest, LowerCaseIsLocaleIndependentAndKeepsOtherCharacters)
{
    EXPECT_EQ(LowerCase("TITLE I"), "title i");
    EXPECT_EQ(LowerCase("ÉCOLE Ŝ 日本 123 Ⅻ"), "école ŝ 日本 123 ⅻ");
    EXPECT_EQ(LowerCase(""), "");
}

TEST(PluginLoadTest, CommentsAndInstructionsInAVariantAreNoParameters)
{
    EXPECT_EQ(Load("comment-in-variant.aep").parameters, (Texts{"kept", "c:\\cdata"}));
}

struct Failure {
    const char* file;
    const char* errorText;
    const char* descript; // what was read before the failure stays
    const char* id;
};

TEST(PluginLoadTest, EachMissingPartStopsTheReadWithItsText)
{
    const Failure failures[] = {
        {"missing.aep", "plugin FAILED to load!", "", ""},
        {"not-well-formed.aep", "plugin FAILED to load!", "", ""},
        {"no-head.aep", "node root->head not found", "", ""},
        {"no-body.aep", "node root->body not found", "", ""},
        {"body-wrong-case.aep", "node root->body not found", "", ""},
        {"no-descript.aep", "node root->body->descript not found", "", ""},
        {"no-id.aep", "node root->body->id not found", "Test Item", ""},
        {"no-type.aep", "node root->body->type not found", "Test Item", "test-item"},
        {"no-command.aep", "node root->body->command not found", "Test Item", "test-item"},
        {"no-parameters.aep", "node root->body->parameters not found", "Test Item", "test-item"},
        {"no-variant.aep", "node root->body->parameters->windows-version(otherwise) not found", "Test Item",
         "test-item"},
    };
    for (const Failure& failure : failures) {
        SCOPED_TRACE(failure.file);
        EraseItem item;
        EXPECT_FALSE(item.LoadFromFile(DataFile(failure.file), 6.1));
        EXPECT_FALSE(item.loaded);
        EXPECT_EQ(item.errorText, failure.errorText);
        EXPECT_EQ(item.descript, failure.descript);
        EXPECT_EQ(item.id, failure.id);
        EXPECT_EQ(item.path, DataFile(failure.file));
    }
    EXPECT_EQ(Load("no-parameters.aep").command, "delete-file");
    EXPECT_EQ(Load("no-command.aep").type, "windows");
}

TEST(PluginLoadTest, IdThatCannotNameAnElementFails)
{
    for (const char* file : {"id-empty.aep", "id-blank.aep", "id-digit.aep", "id-less-than.aep",
                             "id-ampersand.aep", "id-colon.aep"}) {
        SCOPED_TRACE(file);
        EraseItem item = Load(file);
        EXPECT_FALSE(item.loaded);
        EXPECT_EQ(item.errorText, "node root->body->id is not a valid name");
        EXPECT_EQ(item.descript, "Test Item");
    }
    EXPECT_EQ(Load("id-less-than.aep").id, "a<b");
    EraseItem unusual = Load("id-unusual-valid.aep");
    EXPECT_TRUE(unusual.loaded) << unusual.errorText;
    EXPECT_EQ(unusual.id, "_Über-Cache.v2·ß");
}

TEST(PluginLoadTest, DocumentTypeDeclarationsAreRefusedInAnyEncoding)
{
    for (const char* file :
         {"doctype-entities.aep", "doctype-external.aep", "doctype-lower-case.aep", "doctype-utf16.aep"}) {
        SCOPED_TRACE(file);
        EraseItem item = Load(file);
        EXPECT_FALSE(item.loaded);
        EXPECT_EQ(item.errorText, "plugin FAILED to load!");
        EXPECT_TRUE(item.parameters.empty());
    }
    EraseItem utf16 = Load("utf16.aep");
    EXPECT_TRUE(utf16.loaded) << utf16.errorText;
    EXPECT_EQ(utf16.descript, "Ünïcödé");
}

class PluginSizeTest : public SandboxTest {
protected:
    // A valid plug-in file padded with a comment to exactly the given size.
    std::string PluginOfSize(size_t size)
    {
        std::string start =
            "<plugin><head/><body><descript>Big</descript><id>big</id><type>windows</type>"
            "<command>delete-file</command><parameters><parameters windows-version=\"otherwise\">"
            "<item>x</item></parameters></parameters></body><!--";
        std::string end = "--></plugin>";
        return start + std::string(size - start.size() - end.size(), ' ') + end;
    }
};

TEST_F(PluginSizeTest, FilesUpToOneMebibyteLoadAndBiggerOnesAreRefused)
{
    WriteFile("limit.aep", PluginOfSize(1024 * 1024));
    WriteFile("over.aep", PluginOfSize(1024 * 1024 + 1));
    EraseItem limit;
    EXPECT_TRUE(limit.LoadFromFile(PathOf("limit.aep"), 6.1)) << limit.errorText;
    EraseItem over;
    EXPECT_FALSE(over.LoadFromFile(PathOf("over.aep"), 6.1));
    EXPECT_EQ(over.errorText, "plugin FAILED to load!");
}

TEST_F(PluginSizeTest, LongTextsAreKeptWhole)
{
    std::string longText(5000, 'p');
    std::string longName(3000, 'N');
    WriteFile("long.aep",
              "<p><head/><body><descript>" + longName +
                  "</descript><id>long</id><type>windows</type>"
                  "<command>delete-file</command><parameters><parameters windows-version=\"otherwise\">"
                  "<item>" +
                  longText + "</item></parameters></parameters></body></p>");
    EraseItem item;
    ASSERT_TRUE(item.LoadFromFile(PathOf("long.aep"), 6.1));
    EXPECT_EQ(item.descript, longName);
    EXPECT_EQ(item.parameters, Texts{longText});
}

TEST(ErrorTextTest, SystemTextWithoutLineBreakOrAFallback)
{
    std::string text = ErrorText(E_OUTOFMEMORY);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.back(), '\n');
    EXPECT_EQ(text.find("Unknown error"), std::string::npos);
    EXPECT_EQ(ErrorText(static_cast<HRESULT>(0x8004FFF0)), "IDispatch error #65008");
    EXPECT_EQ(ErrorText(static_cast<HRESULT>(0xA7654321)), "Unknown error 0xA7654321");
}

} // namespace

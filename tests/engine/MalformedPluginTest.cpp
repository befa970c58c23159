#include "engine/items/EraseItemList.h"
#include "tests/engine/PluginTestFiles.h"
#include "tests/support/Sandbox.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class SelectAll : public ItemSelection {
public:
    bool IsSelected(const std::string&) const override { return true; }
};

std::string Repeat(const std::string& text, int times)
{
    std::string repeated;
    for (int i = 0; i < times; ++i)
        repeated += text;
    return repeated;
}

// One broken plug-in file of the given kind; the number varies it.
std::string MalformedPlugin(int kind, int number, std::mt19937& random)
{
    bool variant = number / 8 % 2;
    std::string valid = PluginText("item" + std::to_string(number), "Item");
    valid.resize(valid.size() - 2); // the final line break, so every cut below breaks the document
    switch (kind) {
    case 0: // truncated anywhere
        return valid.substr(0, static_cast<size_t>(number) % valid.size());
    case 1: { // not XML at all
        std::string noise(static_cast<size_t>(number % 512) + 1, '\0');
        for (char& c : noise)
            c = static_cast<char>(random());
        return noise;
    }
    case 2: // bytes that are not UTF-8 under a UTF-8 declaration
        return std::string(valid).replace(valid.find("Item"), 4, "\xC3\x28\xFF\xFE");
    case 3: // UTF-16 declared, 8-bit text given
        return std::string(valid).replace(valid.find("UTF-8"), 5, "UTF-16");
    case 4: { // entity expansion through a DTD
        std::string document = valid.substr(valid.find("<plugin>"));
        document.insert(document.find("<item>x") + 6, "&b;");
        return "<!DOCTYPE p [<!ENTITY a \"aaaaaaaaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>" +
               document;
    }
    case 5: // nesting far deeper than any file needs, closed or cut off
        return "<plugin>" + Repeat("<a>", 5000) + (variant ? Repeat("</a>", 5000) + "</plugin>" : "");
    case 6: // a huge text, cut off
        return valid.substr(0, valid.find("<item>") + 6) + std::string(static_cast<size_t>(number) * 97, 'h');
    default: // an empty file, or a well-formed one that is no plug-in
        return variant ? std::string() : "<plugin>" + std::string(number, ' ') + "</plugin>";
    }
}

class MalformedPluginTest : public SandboxTest {};

TEST_F(MalformedPluginTest, ThousandBrokenFilesAllLandOnTheFailedList)
{
    std::mt19937 random(20240601);
    const int count = 1000;
    for (int i = 0; i < count; ++i)
        WriteFile("plugin\\" + std::to_string(i) + ".aep", MalformedPlugin(i % 8, i, random));
    // Two files beyond the size limit, one of them valid but for its size.
    WriteFile("plugin\\huge-valid.aep",
              PluginText("huge", "Huge").replace(40, 0, "<!--" + std::string(1024 * 1024, '-') + "-->"));
    WriteFile("plugin\\huge-text.aep", std::string(1100 * 1024, 'x'));

    EraseItemList list(PathOf("plugin"), 6.1, SelectAll());
    EXPECT_EQ(list.Items().size(), count + 2u);
    EXPECT_EQ(list.Failed().size(), count + 2u);
    EXPECT_TRUE(list.Checked().empty());
    EXPECT_TRUE(list.Unchecked().empty());
    for (const EraseItem* item : list.Failed())
        EXPECT_FALSE(item->errorText.empty()) << item->path;
}

} // namespace

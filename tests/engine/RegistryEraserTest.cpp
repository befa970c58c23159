#include "engine/items/ItemConditions.h"
#include "engine/registry/ProtectedKeys.h"
#include "engine/registry/RegistryEraser.h"
#include "engine/registry/RegistryKeep.h"
#include "engine/registry/UserSid.h"
#include "framework/LowerCase.h"
#include "framework/Owners.h"
#include "framework/RegKey.h"
#include "framework/Utf8.h"
#include "tests/engine/HeardFromCleaner.h"
#include "tests/support/Sandbox.h"
#include "tests/support/ScratchRegistry.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace std::string_view_literals;

namespace {

class RegistryEraserTest : public SandboxTest {
protected:
    // The scratch key as a registry path, with the given tail.
    std::string Path(const std::string& tail) const
    {
        return "HKEY_CURRENT_USER\\" + ScratchKey() + "\\" + tail;
    }

    void MakeKey(const std::string& tail) const
    {
        RegKey key;
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, ScratchKey() + "\\" + tail, KEY_ALL_ACCESS), ERROR_SUCCESS);
    }

    void SetValue(const std::string& tail, const std::string& name, const std::string& text = "x") const
    {
        RegKey key;
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, ScratchKey() + "\\" + tail, KEY_ALL_ACCESS), ERROR_SUCCESS);
        ASSERT_EQ(key.SetString(text, name), ERROR_SUCCESS);
    }

    bool KeyExists(const std::string& tail) const
    {
        RegKey key;
        return key.Open(HKEY_CURRENT_USER, ScratchKey() + (tail.empty() ? "" : "\\" + tail), KEY_READ) ==
               ERROR_SUCCESS;
    }

    DWORD ValueCount(const std::string& tail) const
    {
        RegKey key;
        DWORD values = 0;
        if (key.Open(HKEY_CURRENT_USER, ScratchKey() + "\\" + tail, KEY_READ) != ERROR_SUCCESS ||
            RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                             nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return static_cast<DWORD>(-1);
        return values;
    }

    // A volatile link key at tail whose target is the scratch key's targetTail, named as the kernel names it.
    void MakeLink(const std::string& tail, const std::string& targetTail) const
    {
        RegKeyHandle link;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, ToWide(ScratchKey() + "\\" + tail).c_str(), 0, nullptr,
                                  REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                                  KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, link.put(), nullptr),
                  ERROR_SUCCESS);
        std::wstring target = ToWide("\\REGISTRY\\USER\\" + UserSid::OfCurrentProcess().Text() + "\\" +
                                     ScratchKey() + "\\" + targetTail);
        ASSERT_EQ(RegSetValueExW(link.get(), L"SymbolicLinkValue", 0, REG_LINK,
                                 reinterpret_cast<const BYTE*>(target.data()),
                                 static_cast<DWORD>(target.size() * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

    // The link key itself, not its target.
    bool LinkExists(const std::string& tail) const
    {
        RegKey key;
        return key.Open(HKEY_CURRENT_USER, ScratchKey() + "\\" + tail, KEY_READ, REG_OPTION_OPEN_LINK) ==
               ERROR_SUCCESS;
    }

    // A victim key with two values and a subkey, and links to it at the given places.
    void MakeVictimAndLinks(std::initializer_list<const char*> links) const
    {
        SetValue("victim", "one");
        SetValue("victim", "two");
        SetValue("victim\\sub", "deep");
        for (const char* link : links)
            MakeLink(link, "victim");
        ASSERT_EQ(ValueCount(*links.begin()), 2u) << "the link does not lead to the victim";
    }

    void ExpectVictimWhole() const
    {
        EXPECT_EQ(ValueCount("victim"), 2u);
        EXPECT_EQ(ValueCount("victim\\sub"), 1u);
    }

    RegistryEraser eraser_;
};

TEST(RegistryPaths, RootNamesInAnyCaseAndTheParts)
{
    EXPECT_EQ(RootKeyFromName("HKEY_CLASSES_ROOT"), HKEY_CLASSES_ROOT);
    EXPECT_EQ(RootKeyFromName("HKEY_CURRENT_CONFIG"), HKEY_CURRENT_CONFIG);
    EXPECT_EQ(RootKeyFromName("hkey_current_user"), HKEY_CURRENT_USER);
    EXPECT_EQ(RootKeyFromName("Hkey_Local_Machine"), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(RootKeyFromName("HKEY_USERS"), HKEY_USERS);
    for (const char* name : {"HKCU", "HKEY_CURRENT_USER ", "", "HKEY_USER"})
        EXPECT_EQ(RootKeyFromName(name), nullptr) << name;

    RegistryPath direct = ParseRegistryPath("HKEY_CURRENT_USER\\Name");
    EXPECT_TRUE(direct.valid);
    EXPECT_EQ(direct.root, HKEY_CURRENT_USER);
    EXPECT_EQ(direct.parent, "");
    EXPECT_EQ(direct.name, "Name");
    RegistryPath nested = ParseRegistryPath("hkey_users\\a\\b\\c");
    EXPECT_EQ(nested.root, HKEY_USERS);
    EXPECT_EQ(nested.parent, "a\\b");
    EXPECT_EQ(nested.name, "c");
    EXPECT_FALSE(ParseRegistryPath("HKEY_CURRENT_USER").valid);
}

TEST_F(RegistryEraserTest, KeyGoesWithItsWholeSubtreeAndCountsOnce)
{
    SetValue("doomed", "top");
    SetValue("doomed\\a\\b\\c", "deep");
    MakeKey("doomed\\a\\sibling");
    MakeKey("doomed\\" + std::string(255, 'k'));
    SetValue("doomed\\日本語のキー", "値");
    MakeKey("kept\\child");

    EXPECT_EQ(eraser_.DeleteKeyByPath(Path("doomed")), 1u);
    EXPECT_FALSE(KeyExists("doomed"));
    EXPECT_TRUE(KeyExists("kept\\child"));
    EXPECT_EQ(eraser_.DeleteKeyByPath(Path("doomed")), 0u);
    EXPECT_EQ(eraser_.DeleteKeyByPath("HKCU\\" + ScratchKey() + "\\kept"), 0u);
    EXPECT_EQ(eraser_.DeleteKeyByPath(Path("missing\\kept")), 0u);
    EXPECT_EQ(eraser_.DeleteKeyByPath("hkey_current_user\\" + ScratchKey() + "\\KEPT\\CHILD"), 1u);
    EXPECT_FALSE(KeyExists("kept\\child"));
}

TEST_F(RegistryEraserTest, EmptyKeyNameNeverEmptiesTheParent)
{
    MakeKey("parent\\child");
    EXPECT_EQ(eraser_.DeleteKeyByPath(Path("parent\\")), 0u);
    EXPECT_EQ(eraser_.DeleteKeyByPath(Path("")), 0u);
    EXPECT_EQ(RegistryEraser::DeleteKeyTree(HKEY_CURRENT_USER, ""), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(KeyExists("parent\\child"));
}

TEST_F(RegistryEraserTest, StarMeansEveryValueOfTheKey)
{
    for (const char* name : {"one", "two", "three"})
        SetValue("values", name);
    MakeKey("values\\subkey");
    EXPECT_EQ(eraser_.DeleteValueByPath(Path("values\\*")), 3u);
    EXPECT_EQ(ValueCount("values"), 0u);
    EXPECT_TRUE(KeyExists("values\\subkey"));

    SetValue("values", "ab");
    SetValue("values", "zz");
    SetValue("values", "");
    EXPECT_EQ(eraser_.DeleteValueByPath(Path("values\\a*b")), 3u) << "no pattern: every value goes";
    EXPECT_EQ(eraser_.DeleteValueByPath(Path("values\\*")), 0u);
}

TEST_F(RegistryEraserTest, StarReachesLongNamesAndManyValues)
{
    RegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, ScratchKey() + "\\many", KEY_ALL_ACCESS), ERROR_SUCCESS);
    for (int i = 0; i < 1500; ++i)
        ASSERT_EQ(key.SetDword(i, "value " + std::to_string(i)), ERROR_SUCCESS);
    ASSERT_EQ(key.SetDword(1, std::string(300, 'n')), ERROR_SUCCESS);
    ASSERT_EQ(key.SetDword(1, std::string(16383, 'm')), ERROR_SUCCESS);
    ASSERT_EQ(key.SetDword(1, "名前 😀"), ERROR_SUCCESS);
    SetValue("many\\child", std::string(300, 'n'));
    SetValue("beside", std::string(300, 'n'));
    EXPECT_EQ(eraser_.DeleteValueByPath(Path("many\\*")), 1503u);
    EXPECT_EQ(ValueCount("many"), 0u);
    EXPECT_EQ(ValueCount("many\\child"), 1u);
    EXPECT_EQ(ValueCount("beside"), 1u);
}

// Native calls make names that hold a NUL, where every Win32 call cuts them short: they go by their whole
// names, or the run says what is left; a report shows the NUL as a sign.
TEST_F(RegistryEraserTest, NamesHoldingANulGoWhole)
{
    ASSERT_TRUE(MakeCountedKeyForTest(ScratchKey() + "\\tree", L"a\0b"sv));
    ASSERT_TRUE(MakeCountedKeyForTest(ScratchKey() + "\\tree\\deep", L"\0"sv));
    ASSERT_TRUE(SetCountedValueForTest(ScratchKey() + "\\values", L"v\0w"sv));
    ASSERT_TRUE(SetCountedValueForTest(ScratchKey() + "\\values", L"\0"sv));
    SetValue("values", "v");
    struct Heard final : SilentListener {
        void OnRegistryEntry(const std::string& path, bool) override { entries.push_back(path); }
        void OnFailure(const std::string& path, const std::string& reason) override
        {
            failures.push_back(path + ": " + reason);
        }
        std::vector<std::string> entries, failures;
    } heard;
    for (EraseMode mode : {EraseMode::Preview, EraseMode::Erase}) {
        heard.entries.clear();
        RegistryEraser eraser({mode, &heard});
        EXPECT_EQ(eraser.DeleteKeyByPath(Path("tree")), 1u);
        EXPECT_EQ(eraser.DeleteValueByPath(Path("values\\*")), 3u);
        std::sort(heard.entries.begin(), heard.entries.end());
        EXPECT_EQ(heard.entries,
                  (std::vector<std::string>{Path("tree"), Path("values\\v"), Path("values\\v\u2400w"),
                                            Path("values\\\u2400")}));
    }
    EXPECT_TRUE(heard.failures.empty()) << heard.failures[0];
    EXPECT_FALSE(KeyExists("tree"));
    EXPECT_EQ(ValueCount("values"), 0u);
}

TEST_F(RegistryEraserTest, OneValueByName)
{
    SetValue("k", "gone");
    SetValue("k", "kept");
    SetValue("k", "名前");
    EXPECT_EQ(eraser_.DeleteValueByPath(Path("k\\gone")), 1u);
    EXPECT_EQ(eraser_.DeleteValueByPath(Path("k\\gone")), 0u);
    EXPECT_EQ(eraser_.DeleteValueByPath(Path("k\\名前")), 1u);
    EXPECT_EQ(eraser_.DeleteValueByPath(Path("missing\\kept")), 0u);
    EXPECT_EQ(eraser_.DeleteValueByPath("HKEY_NOWHERE\\" + ScratchKey() + "\\k\\kept"), 0u);
    EXPECT_EQ(ValueCount("k"), 1u);
}

TEST_F(RegistryEraserTest, StringValueIsWrittenWithItsKeysAndFound)
{
    std::string path = Path("made\\on\\the way\\Vestrel");
    EXPECT_FALSE(eraser_.ValueExistsByPath(path));
    EXPECT_EQ(eraser_.SetStringValueByPath(path, "\"P:\\Vestrel.exe\""), 0);
    EXPECT_TRUE(eraser_.ValueExistsByPath(path));
    RegKey key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, ScratchKey() + "\\made\\on\\the way", KEY_READ), ERROR_SUCCESS);
    std::string text;
    EXPECT_EQ(key.QueryString(text, "Vestrel", 256), ERROR_SUCCESS);
    EXPECT_EQ(text, "\"P:\\Vestrel.exe\"");

    std::string longText(1000, 'x');
    EXPECT_EQ(eraser_.SetStringValueByPath(Path("long"), longText), 0);
    EXPECT_TRUE(eraser_.ValueExistsByPath(Path("long"))) << "however long the value is";
    EXPECT_EQ(eraser_.SetStringValueByPath("HKEY_NOWHERE\\x\\y", "z"), 2);
    EXPECT_EQ(eraser_.SetStringValueByPath("no backslash", "z"), 2);
    EXPECT_FALSE(eraser_.ValueExistsByPath("HKEY_NOWHERE\\x\\y"));
}

TEST_F(RegistryEraserTest, LinkKeyGoesItselfAndItsTargetStays)
{
    MakeVictimAndLinks({"named", "tree\\inside"});
    SetValue("tree", "own");

    RegistryEraser preview(EraseOptions{EraseMode::Preview});
    EXPECT_EQ(preview.DeleteKeyByPath(Path("named")), 1u);
    EXPECT_EQ(eraser_.DeleteKeyByPath(Path("named")), 1u);
    EXPECT_FALSE(LinkExists("named"));
    EXPECT_EQ(eraser_.DeleteKeyByPath(Path("tree")), 1u);
    EXPECT_FALSE(KeyExists("tree"));
    ExpectVictimWhole();
}

TEST_F(RegistryEraserTest, ValuesOfALinkAreNotItsTargets)
{
    MakeVictimAndLinks({"link"});
    EXPECT_EQ(eraser_.DeleteValueByPath(Path("link\\*")), 0u);
    EXPECT_EQ(eraser_.DeleteValueByPath(Path("link\\one")), 0u);
    EXPECT_TRUE(LinkExists("link"));
    ExpectVictimWhole();
    // The target's own path still reaches its values.
    EXPECT_EQ(eraser_.DeleteKeyByPath(Path("link")), 1u);
    EXPECT_EQ(eraser_.DeleteValueByPath(Path("victim\\*")), 2u);
}

TEST(ProtectedKeys, RootsSystemKeysAndTheirParentsInEverySpelling)
{
    std::string user = "HKEY_USERS\\" + UserSid::OfCurrentProcess().Text();
    const std::string refused[] = {
        "HKEY_CURRENT_USER",
        "HKEY_CURRENT_USER\\",
        "hkey_local_machine\\\\",
        "HKEY_USERS\\",
        "HKEY_CLASSES_ROOT",
        "HKEY_CURRENT_CONFIG\\System",
        "HKEY_CURRENT_USER\\Software",
        "HKEY_CURRENT_USER\\software\\",
        "HKEY_CURRENT_USER\\Software\\\\Microsoft",
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion",
        "HKEY_CURRENT_USER\\Software\\Policies",
        "HKEY_CURRENT_USER\\Software\\Vestrel",
        "HKEY_CURRENT_USER\\Software\\Classes",
        "HKEY_CURRENT_USER\\Software\\Classes\\CLSID",
        "HKEY_CURRENT_USER\\Environment",
        "HKEY_LOCAL_MACHINE\\SOFTWARE",
        "HKEY_LOCAL_MACHINE\\SYSTEM",
        "HKEY_LOCAL_MACHINE\\SAM",
        "HKEY_LOCAL_MACHINE\\SECURITY",
        "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Classes",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Classes\\CLSID",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows",
        "HKEY_CLASSES_ROOT\\.txt",
        "HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID",
        user,
        "HKEY_USERS\\.DEFAULT",
        user + "\\Software\\Microsoft",
        user + "_Classes",
        user + "_Classes\\CLSID",
        user + "\\Software\\Classes\\Local Settings",
    };
    for (const std::string& key : refused)
        EXPECT_TRUE(IsProtectedKey(key)) << key;

    const std::string erasable[] = {
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU",
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer",
        "HKEY_CURRENT_USER\\Software\\Vestrel\\Setting",
        "HKEY_CURRENT_USER\\Software\\Example",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Example",
        "HKEY_CLASSES_ROOT\\CLSID\\{00000000-0000-0000-0000-000000000001}",
        "HKEY_CURRENT_USER\\Software\\Classes\\Local Settings\\MuiCache",
        user + "\\Software\\Example",
        "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services",
        "HKCU\\Software",
        "",
    };
    for (const std::string& key : erasable)
        EXPECT_FALSE(IsProtectedKey(key)) << key;
}

// The 32- and the 64-bit program erase the same key for the same path: the native view's.
TEST_F(RegistryEraserTest, EveryPathNamesTheNativeView)
{
    std::string key = ScratchKey().substr(ScratchKey().find('\\') + 1); // below Software
    std::wstring x = ToWide("Software\\" + key + "\\x");
    auto make = [&](REGSAM view) {
        RegKeyHandle made;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, x.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view,
                                  nullptr, made.put(), nullptr),
                  ERROR_SUCCESS);
    };
    auto exists = [&](REGSAM view) {
        RegKeyHandle opened;
        return RegOpenKeyExW(HKEY_LOCAL_MACHINE, x.c_str(), 0, KEY_READ | view, opened.put()) ==
               ERROR_SUCCESS;
    };
    make(KEY_WOW64_64KEY);
    {
        RegKeyHandle native;
        ASSERT_EQ(
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, x.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY, native.put()),
            ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(native.get(), L"v", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"1"), 4),
                  ERROR_SUCCESS);
    }
    // An item's detect paths look in the same view: both programs list an item found by the native key.
    EraseItem item;
    for (const char* tail : {"\\x", "\\x\\v"}) {
        item.detect = {"HKEY_LOCAL_MACHINE\\Software\\" + key + tail};
        EXPECT_TRUE(IsDetected(item)) << tail;
        item.detect = {"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\" + key + tail};
        EXPECT_FALSE(IsDetected(item)) << tail;
    }
    make(KEY_WOW64_32KEY);
    EXPECT_EQ(eraser_.DeleteKeyByPath("HKEY_LOCAL_MACHINE\\Software\\" + key + "\\x"), 1u);
    EXPECT_FALSE(exists(KEY_WOW64_64KEY));
    EXPECT_TRUE(exists(KEY_WOW64_32KEY));
    EXPECT_EQ(eraser_.DeleteKeyByPath("HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\" + key + "\\x"), 1u);
    EXPECT_FALSE(exists(KEY_WOW64_32KEY));
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, ToWide("Software\\" + key).c_str(), view, 0);
}

// Explorer's folder views without the desktop's layout: the kept keys stay with their values, and so do
// the keys above them; everything else of the tree goes, in a preview counted as the erase counts it.
TEST_F(RegistryEraserTest, KeepsKeptKeysAndTheKeysAboveThemUnderABagsTree)
{
    SetValue("Shell\\Bags\\1\\Desktop", "IconLayouts", "layout");
    SetValue("Shell\\Bags\\1\\Shell\\{5C4F28B5-F869-4E84-8E60-F11DB97C5CC7}", "Mode", "4");
    SetValue("Shell\\Bags\\1", "Stray", "goes");
    SetValue("Shell\\Bags\\2\\Shell", "Mode", "1");
    SetValue("Shell\\Bags\\AllFolders\\Shell", "Mode", "4");
    SetValue("Shell\\BagMRU", "MRUListEx", "0");
    SetValue("Shell\\BagMRU\\0", "0", "pidl");
    // Written as plug-in files are read: lower-cased, with a doubled backslash and a pattern.
    RegistryKeep keep({LowerCase(Path("Shell\\Bags\\1\\\\Desktop")), LowerCase(Path("shell\\bags\\all*"))});
    HeardFromCleaner heard;
    RegistryEraser preview({EraseMode::Preview, &heard}, &keep);
    EXPECT_EQ(preview.DeleteKeyByPath(LowerCase(Path("Shell\\Bags"))), 3u); // 1\Shell, 1's value, 2
    EXPECT_TRUE(KeyExists("Shell\\Bags\\2"));
    RegistryEraser eraser({}, &keep);
    EXPECT_EQ(eraser.DeleteKeyByPath(LowerCase(Path("Shell\\Bags"))), 3u);
    EXPECT_EQ(ValueCount("Shell\\Bags\\1\\Desktop"), 1u);
    EXPECT_TRUE(KeyExists("Shell\\Bags\\AllFolders\\Shell"));
    EXPECT_FALSE(KeyExists("Shell\\Bags\\1\\Shell"));
    EXPECT_EQ(ValueCount("Shell\\Bags\\1"), 0u);
    EXPECT_FALSE(KeyExists("Shell\\Bags\\2"));
    // A kept key named itself, and a tree without kept keys, behave as without a keep.
    EXPECT_EQ(eraser.DeleteKeyByPath(Path("Shell\\Bags\\AllFolders")), 0u);
    EXPECT_TRUE(KeyExists("Shell\\Bags\\AllFolders"));
    EXPECT_EQ(eraser.DeleteKeyByPath(Path("Shell\\BagMRU")), 1u);
    EXPECT_FALSE(KeyExists("Shell\\BagMRU"));
}

// A value keep spares that value from "*" and by name; a kept key keeps all its values.
TEST_F(RegistryEraserTest, DeleteValueLeavesKeptValues)
{
    SetValue("Recent", "MRUList", "ab");
    SetValue("Recent", "a", "one");
    SetValue("Recent", "b", "two");
    SetValue("Pinned", "a", "stays");
    RegistryKeep keep({"HKEY_CURRENT_USER\\\\" + ScratchKey() + "\\Recent\\MRUList", Path("Pinned")});
    RegistryEraser eraser({}, &keep);
    EXPECT_EQ(eraser.DeleteValueByPath(Path("Recent\\*")), 2u);
    EXPECT_EQ(ValueCount("Recent"), 1u);
    EXPECT_EQ(eraser.DeleteValueByPath(Path("Recent\\MRUList")), 0u);
    EXPECT_EQ(eraser.DeleteValueByPath(Path("Pinned\\*")) + eraser.DeleteValueByPath(Path("Pinned\\a")), 0u);
    EXPECT_EQ(ValueCount("Pinned"), 1u);
    EXPECT_FALSE(RegistryKeep::IsRegistryPath("HKCU\\Software\\Example"));
    EXPECT_TRUE(RegistryKeep::IsRegistryPath("hkey_users\\.default\\x"));
    EXPECT_FALSE(RegistryKeep::IsRegistryPath("%appdata%\\Example"));
}

} // namespace

#include "framework/Utf8.h"
#include "tests/support/Sandbox.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

namespace {

// Built from code points so the test does not depend on the compiler's source character set.
const std::wstring kJapanese = L"\u65e5\u672c\u8a9e\u306e\u30d5\u30a1\u30a4\u30eb";
const std::wstring kEmoji = L"\U0001F9F9 clean";

TEST(Utf8, RoundTripsNonAnsiText)
{
    for (const std::wstring& text : {kJapanese, kEmoji, std::wstring(L"caf\u00e9")}) {
        EXPECT_EQ(ToWide(ToUtf8(text)), text);
    }
}

TEST(Utf8, EncodesAsUtf8Bytes)
{
    EXPECT_EQ(ToUtf8(L"\u65e5"), "\xE6\x97\xA5");
    EXPECT_EQ(ToUtf8(L"\U0001F9F9"), "\xF0\x9F\xA7\xB9");
    EXPECT_EQ(ToWide("\xF0\x9F\xA7\xB9"), L"\U0001F9F9");
    EXPECT_EQ(ToWide("\xF0\x9F\xA7\xB9").size(), 2u); // a surrogate pair
}

TEST(Utf8, EmptyAndEmbeddedNul)
{
    EXPECT_EQ(ToWide(""), L"");
    EXPECT_EQ(ToUtf8(L""), "");
    EXPECT_EQ(ToWide(std::string_view("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(Utf8, InvalidBytesBecomeReplacementCharacter)
{
    EXPECT_EQ(ToWide("a\xFF"
                     "b"),
              L"a\uFFFDb");
}

TEST(ExtendedPath, DrivePathGetsPrefixAndIsNormalised)
{
    EXPECT_EQ(ToExtendedPath("C:\\Users\\test\\file.txt"), L"\\\\?\\C:\\Users\\test\\file.txt");
    EXPECT_EQ(ToExtendedPath("C:/Users/./old/../test/file.txt"), L"\\\\?\\C:\\Users\\test\\file.txt");
}

TEST(ExtendedPath, UncPathGetsUncPrefix)
{
    EXPECT_EQ(ToExtendedPath("\\\\server\\share\\dir\\file"), L"\\\\?\\UNC\\server\\share\\dir\\file");
}

TEST(ExtendedPath, KeepsNonAnsiNames)
{
    EXPECT_EQ(ToExtendedPath("C:\\" + ToUtf8(kJapanese)), L"\\\\?\\C:\\" + kJapanese);
}

TEST(ExtendedPath, LeavesRelativeAndPrefixedPathsAlone)
{
    EXPECT_EQ(ToExtendedPath("relative\\file.txt"), L"relative\\file.txt");
    EXPECT_EQ(ToExtendedPath("\\\\?\\C:\\a\\..\\b"), L"\\\\?\\C:\\a\\..\\b");
    EXPECT_EQ(ToExtendedPath("\\\\.\\pipe\\x"), L"\\\\.\\pipe\\x");
}

class ExtendedPathInSandbox : public SandboxTest {};

TEST_F(ExtendedPathInSandbox, PathLongerThanMaxPathCanBeCreated)
{
    std::string deep = Folder() + "long";
    std::vector<std::wstring> created{ToExtendedPath(deep)};
    while (deep.size() <= MAX_PATH + 40) {
        deep += "\\" + std::string(50, 'd');
        created.push_back(ToExtendedPath(deep));
    }
    for (const std::wstring& dir : created)
        ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    EXPECT_NE(GetFileAttributesW(ToExtendedPath(deep).c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace

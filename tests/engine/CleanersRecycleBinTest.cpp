#include "engine/RecycleBinCleaner.h"
#include "framework/Utf8.h"
#include "tests/support/Sandbox.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t kTrashFiles[] = L"S:\\home\\.local\\share\\Trash\\files\\";

std::string Environment(const wchar_t* name)
{
    wchar_t value[4096];
    DWORD length = GetEnvironmentVariableW(name, value, 4096);
    return length && length < 4096 ? ToUtf8(std::wstring_view(value, length)) : std::string();
}

int EntriesIn(const std::wstring& folder)
{
    int count = 0;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        std::wstring name = entry.cFileName;
        count += name != L"." && name != L"..";
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return count;
}

// Emptying a bin empties Wine's trash, which is a folder of the machine's user unless the prefix moved
// HOME into the sandbox. Nothing here runs unless it did.
class CleanersRecycleBin : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        ASSERT_EQ(Environment(L"WINEHOMEDIR"), "\\??\\S:\\home") << "the trash is not the sandbox's";
        std::string dataHome = Environment(L"XDG_DATA_HOME");
        const std::string sandboxData = "/build/sandbox/home/.local/share";
        ASSERT_TRUE(dataHome.size() > sandboxData.size() && dataHome.ends_with(sandboxData)) << dataHome;
        // The sandbox's trash is the test's own: start from an empty one.
        SHEmptyRecycleBinW(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
    }

    void Recycle(const std::string& name, size_t bytes)
    {
        WriteFile(name, std::string(bytes, 'x'));
        std::wstring from = ToWide(PathOf(name)) + L'\0';
        SHFILEOPSTRUCTW operation{};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
        ASSERT_EQ(SHFileOperationW(&operation), 0);
        ASSERT_FALSE(Exists(name));
    }
};

// Wine keeps one trash for all drives and reports all of it for every root, so the tests name the
// sandbox drive alone; on Windows each root answers for its own bin.
TEST_F(CleanersRecycleBin, CountsWhatTheBinHeldAndEmptiesIt)
{
    Recycle("first.txt", 10);
    Recycle("second.log", 200);
    Recycle("third.bin", 3000);
    ASSERT_EQ(EntriesIn(kTrashFiles), 3) << "the recycled files are not in the sandbox's trash";

    EraseTally tally;
    EmptyRecycleBins({"S:\\"}, tally);
    EXPECT_EQ(tally.filesErased, 3u);
    EXPECT_EQ(tally.bytesReleased, 3210u);
    EXPECT_EQ(tally.registryEntriesErased, 0u);
    EXPECT_EQ(EntriesIn(kTrashFiles), 0);

    SHQUERYRBINFO bin{};
    bin.cbSize = sizeof bin;
    ASSERT_EQ(SHQueryRecycleBinW(L"S:\\", &bin), S_OK);
    EXPECT_EQ(bin.i64NumItems, 0);
}

TEST_F(CleanersRecycleBin, EmptyBinsAddNothingToWhatTheTallyHeld)
{
    EraseTally tally{5, 50, 1};
    EmptyRecycleBins({"S:\\", "C:\\"}, tally);
    EXPECT_EQ(tally.filesErased, 5u);
    EXPECT_EQ(tally.bytesReleased, 50u);
    EXPECT_EQ(tally.registryEntriesErased, 1u);
}

} // namespace

#include "engine/cleaners/RecycleBinCleaner.h"
#include "tests/support/Sandbox.h"
#include "tests/support/SandboxTrash.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class CleanersRecycleBin : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        ASSERT_TRUE(TrashIsInTheSandbox());
        EmptyRecycleBinForTest(); // the sandbox's trash is the tests' own: start from an empty one
    }

    void Recycle(const std::string& name, size_t bytes)
    {
        WriteFile(name, std::string(bytes, 'x'));
        ASSERT_TRUE(RecycleForTest(PathOf(name)));
    }
};

// Wine keeps one trash for all drives and reports all of it for every root, so the tests name the
// sandbox drive alone; on Windows each root answers for its own bin.
TEST_F(CleanersRecycleBin, CountsWhatTheBinHeldAndEmptiesIt)
{
    Recycle("first.txt", 10);
    Recycle("second.log", 200);
    Recycle("third.bin", 3000);
    ASSERT_EQ(ItemsInSandboxTrash(), 3) << "the recycled files are not in the sandbox's trash";

    EraseTally tally;
    EmptyRecycleBins({"S:\\"}, tally);
    EXPECT_EQ(tally.filesErased, 3u);
    EXPECT_EQ(tally.bytesReleased, 3210u);
    EXPECT_EQ(tally.registryEntriesErased, 0u);
    EXPECT_EQ(ItemsInSandboxTrash(), 0);

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

TEST_F(CleanersRecycleBin, NoRootsStillEmptiesTheBins)
{
    Recycle("only.txt", 4);
    EraseTally tally;
    EmptyRecycleBins({}, tally);
    EXPECT_EQ(tally.filesErased, 0u);
    EXPECT_EQ(ItemsInSandboxTrash(), 0);
}

} // namespace

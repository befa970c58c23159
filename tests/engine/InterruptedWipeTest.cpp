#include "engine/cleaners/FreeSpaceWipe.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "tests/support/Sandbox.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// The wipe's folder at the root of the sandbox drive, with one of its files.
class InterruptedWipe : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        root_ = Folder().substr(0, 3);
        folder_ = ToExtendedPath(root_ + kWipeFolderName);
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        UniqueHandle file(CreateFileW((folder_ + L"\\fill000000000").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(file);
    }

    void TearDown() override
    {
        DeleteFileW((folder_ + L"\\fill000000000").c_str());
        RemoveDirectoryW(folder_.c_str());
        SandboxTest::TearDown();
    }

    bool FileStays() const
    {
        return GetFileAttributesW((folder_ + L"\\fill000000000").c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    std::string root_;
    std::wstring folder_;
};

// A second window or vestrel-cli starting while a wipe runs must not take the files it is writing.
TEST_F(InterruptedWipe, AWipeStillRunningKeepsItsFilesAndALeftOneGoes)
{
    {
        // Held as a running wipe holds it: listed and written into, never deleted by others.
        UniqueHandle held(CreateFileW(folder_.c_str(), FILE_LIST_DIRECTORY,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        ASSERT_TRUE(held);
        RemoveInterruptedWipes({root_});
        EXPECT_TRUE(FileStays());
    }
    RemoveInterruptedWipes({root_});
    EXPECT_FALSE(FileStays());
    EXPECT_EQ(GetFileAttributesW(folder_.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace

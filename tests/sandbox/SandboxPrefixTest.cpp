// The Wine prefix every test and demo runs in must not reach this machine's own files.
#include "framework/Utf8.h"
#include "tests/support/Processes.h"
#include "tests/support/Sandbox.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

std::string Environment(const wchar_t* name)
{
    wchar_t value[4096];
    DWORD length = GetEnvironmentVariableW(name, value, 4096);
    return length && length < 4096 ? ToUtf8(std::wstring_view(value, length)) : std::string();
}

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(SandboxPrefix, DriveZIsGone)
{
    EXPECT_EQ(GetLogicalDrives() & (1u << ('Z' - 'A')), 0u);
    EXPECT_EQ(GetDriveTypeW(L"Z:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));

    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(L"Z:\\*", &entry);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    EXPECT_EQ(GetFileAttributesW(L"Z:\\etc\\hostname"), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(DeleteFileW(L"Z:\\tmp\\vestrel-must-not-exist"));
}

TEST(SandboxPrefix, OnlyTheProjectsFoldersAreDrives)
{
    DWORD drives = GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (drives & (1u << (letter - 'A')))
            EXPECT_NE(std::string("CPQSTU").find(letter), std::string::npos) << letter << ": is mapped";
    }
    EXPECT_NE(GetFileAttributesW(L"S:\\"), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(L"P:\\"), INVALID_FILE_ATTRIBUTES);
    std::string testFolder = TestProgramFolder();
    EXPECT_TRUE(testFolder.rfind("T:\\", 0) == 0 || testFolder.rfind("U:\\", 0) == 0) << testFolder;
}

TEST(SandboxPrefix, HomeAndDataHomeAreInTheSandbox)
{
    // Wine hands the Unix HOME over as the DOS path of the folder it names.
    EXPECT_EQ(Environment(L"WINEHOMEDIR"), "\\??\\S:\\home");
    EXPECT_TRUE(EndsWith(Environment(L"XDG_DATA_HOME"), "/build/sandbox/home/.local/share"))
        << Environment(L"XDG_DATA_HOME");
}

class SandboxRecycleBin : public SandboxTest {};

TEST_F(SandboxRecycleBin, RecycledFilesLandInTheSandboxTrash)
{
    std::string name = "recycled-" + std::to_string(GetCurrentProcessId()) + ".txt";
    WriteFile(name, "bytes");
    std::wstring from = ToWide(PathOf(name)) + L'\0';
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    ASSERT_EQ(SHFileOperationW(&operation), 0);
    EXPECT_FALSE(Exists(name));

    std::wstring trashed = L"S:\\home\\.local\\share\\Trash\\files\\" + ToWide(name);
    EXPECT_NE(GetFileAttributesW(trashed.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW(trashed.c_str());
    DeleteFileW((L"S:\\home\\.local\\share\\Trash\\info\\" + ToWide(name) + L".trashinfo").c_str());
}

} // namespace

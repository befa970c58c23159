#include "framework/Utf8.h"
#include "tests/support/Processes.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

// The built program beside the test programs: P: for T:, Q: for U:.
std::wstring ProgramPath()
{
    return ToWide(TestProgramFolder()[0] == 'T' ? "P:\\" : "Q:\\") + L"Vestrel.exe";
}

std::string VersionString(const std::vector<char>& block, const wchar_t* name)
{
    void* value = nullptr;
    UINT length = 0;
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0)
        return "";
    return ToUtf8(static_cast<const wchar_t*>(value));
}

TEST(VersionResource, NamesTheProductAndItsVersion)
{
    std::wstring exe = ProgramPath();
    DWORD size = GetFileVersionInfoSizeW(exe.c_str(), nullptr);
    ASSERT_NE(size, 0u) << "Vestrel.exe has no version resource";
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 4));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 4));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    EXPECT_EQ(VersionString(block, L"ProductName"), "Vestrel");
    EXPECT_EQ(VersionString(block, L"ProductVersion"), "4.0");
    EXPECT_EQ(VersionString(block, L"FileVersion"), "4.0");
    EXPECT_FALSE(VersionString(block, L"FileDescription").empty());
    EXPECT_EQ(VersionString(block, L"OriginalFilename"), "Vestrel.exe");
}

// The manifest Windows reads before the program runs: without it Windows 10 reports itself as 6.2, the
// standard controls lose their themes and a UAC heuristic may ask for elevation.
TEST(ApplicationManifest, IsEmbeddedForTheWindowsVersionsWeRunOn)
{
    HMODULE module = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)); // RT_MANIFEST
    ASSERT_NE(found, nullptr) << "no manifest";
    std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                         SizeofResource(module, found));
    FreeLibrary(module);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    for (const char* os : {"35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
                           "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
        EXPECT_NE(manifest.find(os), std::string::npos) << os;
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
}

} // namespace

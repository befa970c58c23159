#include "tests/support/Sandbox.h"

#include "framework/Utf8.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

const char kSandboxRoot[] = "S:\\tests\\";
const char kScratchRoot[] = "Software\\Vestrel Tests";

std::string UniqueName()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) {
        if (c == '/' || c == '\\')
            c = '_';
    }
    return name + "-" + std::to_string(GetCurrentProcessId());
}

void MakeFolders(const std::string& path)
{
    for (size_t i = path.find('\\', 3); i != std::string::npos; i = path.find('\\', i + 1))
        CreateDirectoryW(ToExtendedPath(path.substr(0, i)).c_str(), nullptr);
    CreateDirectoryW(ToExtendedPath(path).c_str(), nullptr);
}

std::string ParentOf(const std::string& path)
{
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace

void RemoveTreeForTest(const std::string& folder)
{
    std::wstring base = ToExtendedPath(folder);
    if (!base.empty() && base.back() == L'\\')
        base.pop_back();
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((base + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = base + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            bool isFolder = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
            bool isLink = entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
            if (isFolder && !isLink)
                RemoveTreeForTest(ToUtf8(path));
            else if (isFolder)
                RemoveDirectoryW(path.c_str());
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(base.c_str());
}

void SandboxTest::SetUp()
{
    std::string name = UniqueName();
    folder_ = kSandboxRoot + name + "\\";
    RemoveTreeForTest(folder_);
    MakeFolders(folder_.substr(0, folder_.size() - 1));
    ASSERT_NE(GetFileAttributesW(ToExtendedPath(folder_).c_str()), INVALID_FILE_ATTRIBUTES)
        << "the sandbox drive S: is not mapped";

    scratchKey_ = std::string(kScratchRoot) + "\\" + name;
    RegDeleteTreeW(HKEY_CURRENT_USER, ToWide(scratchKey_).c_str());
}

void SandboxTest::TearDown()
{
    RemoveTreeForTest(folder_);
    RegDeleteTreeW(HKEY_CURRENT_USER, ToWide(scratchKey_).c_str());
}

void SandboxTest::WriteFile(std::string_view relative, std::string_view bytes) const
{
    std::string path = PathOf(relative);
    MakeFolders(ParentOf(path));
    std::ofstream out(std::filesystem::path(ToExtendedPath(path)), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::string SandboxTest::ReadFile(std::string_view relative) const
{
    std::ifstream in(std::filesystem::path(ToExtendedPath(PathOf(relative))), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool SandboxTest::Exists(std::string_view relative) const
{
    return GetFileAttributesW(ToExtendedPath(PathOf(relative)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void SandboxTest::MakeFolder(std::string_view relative) const
{
    MakeFolders(PathOf(relative));
}

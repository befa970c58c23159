#include "tests/support/SandboxTrash.h"

#include "framework/Utf8.h"

#include <windows.h>
#include <shellapi.h>

namespace {

const wchar_t kTrashFiles[] = L"S:\\home\\.local\\share\\Trash\\files\\";

std::string Environment(const wchar_t* name)
{
    wchar_t value[4096];
    DWORD length = GetEnvironmentVariableW(name, value, 4096);
    return length && length < 4096 ? ToUtf8(std::wstring_view(value, length)) : std::string();
}

} // namespace

testing::AssertionResult TrashIsInTheSandbox()
{
    std::string home = Environment(L"WINEHOMEDIR");
    if (home != "\\??\\S:\\home")
        return testing::AssertionFailure() << "HOME is not the sandbox's: " << home;
    std::string dataHome = Environment(L"XDG_DATA_HOME");
    const std::string sandboxData = "/build/sandbox/home/.local/share";
    if (dataHome.size() <= sandboxData.size() || !dataHome.ends_with(sandboxData))
        return testing::AssertionFailure() << "XDG_DATA_HOME is not the sandbox's: " << dataHome;
    return testing::AssertionSuccess();
}

bool RecycleForTest(const std::string& path)
{
    std::wstring from = ToWide(path) + L'\0';
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    return SHFileOperationW(&operation) == 0 &&
           GetFileAttributesW(ToWide(path).c_str()) == INVALID_FILE_ATTRIBUTES;
}

int ItemsInSandboxTrash()
{
    int count = 0;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((std::wstring(kTrashFiles) + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        std::wstring name = entry.cFileName;
        count += name != L"." && name != L"..";
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return count;
}

void EmptyRecycleBinForTest()
{
    SHEmptyRecycleBinW(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
}

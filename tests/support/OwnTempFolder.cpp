#include "tests/support/OwnTempFolder.h"

#include "framework/Utf8.h"
#include "tests/support/Sandbox.h"

#include <windows.h>

OwnTempFolder::OwnTempFolder()
{
    wchar_t prefixTemp[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, prefixTemp);
    folder_ = ToUtf8(std::wstring_view(prefixTemp, length)) + "vestrel-test-" +
              std::to_string(GetCurrentProcessId());
    CreateDirectoryW(ToExtendedPath(folder_).c_str(), nullptr);

    std::wstring old(32768, L'\0');
    DWORD oldLength = GetEnvironmentVariableW(L"TMP", old.data(), static_cast<DWORD>(old.size()));
    hadOldValue_ = oldLength > 0 && oldLength < old.size();
    oldValue_.assign(old.data(), hadOldValue_ ? oldLength : 0);
    // GetTempPath reads TMP first.
    SetEnvironmentVariableW(L"TMP", ToWide(folder_ + "\\").c_str());
}

OwnTempFolder::~OwnTempFolder()
{
    SetEnvironmentVariableW(L"TMP", hadOldValue_ ? oldValue_.c_str() : nullptr);
    RemoveTreeForTest(folder_);
}

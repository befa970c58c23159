#include "engine/files/ShellFolders.h"

#include "framework/Utf8.h"

std::string KnownFolderPath(REFKNOWNFOLDERID folder)
{
    PWSTR path = nullptr;
    HRESULT result = SHGetKnownFolderPath(folder, KF_FLAG_DONT_VERIFY, nullptr, &path);
    std::string text = SUCCEEDED(result) && path ? ToUtf8(path) : std::string();
    CoTaskMemFree(path);
    return text;
}

#include "engine/cleaners/DnsCacheCleaner.h"

#include "framework/ErrorText.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <windows.h>

#include <string>

namespace {

constexpr DWORD kTimeoutMs = 30'000;

// "C:\Windows\System32\ipconfig.exe"; empty when the system folder cannot be had.
std::wstring SystemIpconfig()
{
    wchar_t folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::wstring(folder, length) + L"\\ipconfig.exe";
}

// Why the flush failed, or empty when it went.
std::string RunFlush(const std::wstring& program)
{
    // The application name is given too, so that the system never searches for the program.
    std::wstring line = L"\"" + program + L"\" /flushdns";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &started))
        return "could not be started: " + ErrorText(HRESULT_FROM_WIN32(GetLastError()));
    CloseHandle(started.hThread);
    UniqueHandle process(started.hProcess);
    if (WaitForSingleObject(process.get(), kTimeoutMs) != WAIT_OBJECT_0)
        return "did not finish";
    DWORD code = 1;
    if (!GetExitCodeProcess(process.get(), &code) || code != 0)
        return "ended with code " + std::to_string(code);
    return {};
}

} // namespace

void FlushDnsCache(EraseTally&, const EraseOptions& options)
{
    options.Listener().OnUncounted("the DNS resolver cache: its entries are not counted");
    if (options.Preview())
        return;
    const std::wstring program = SystemIpconfig();
    if (program.empty()) {
        options.Listener().OnFailure("ipconfig /flushdns", "the system folder cannot be found");
        return;
    }
    const std::string reason = RunFlush(program);
    if (!reason.empty())
        options.Listener().OnProgramFailure(ToUtf8(program) + " /flushdns", reason);
}

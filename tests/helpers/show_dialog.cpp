// Shows one of the erase run's or the shell's skinned dialogs, so that tests can drive it from outside as a
// user would; exits with the dialog's result.
//   show_dialog progress <folder>        the folder's plugin\, vestrel.conf and vestrel.log; erases for real
//   show_dialog result <bytes> <files> <registry entries>
//   show_dialog close-prompt
//   show_dialog loader
//   show_dialog options | schedule | about
#include "app/CEraseProgressDialog.h"
#include "app/CEraseResultDialog.h"
#include "framework/Utf8.h"
#include "app/CClosePromptDialog.h"
#include "app/CLoaderDialog.h"
#include "app/CAboutDialog.h"
#include "app/COptionsDialog.h"
#include "app/CScheduleDialog.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

uint32_t Number(const wchar_t* text)
{
    return static_cast<uint32_t>(std::wcstoul(text, nullptr, 10));
}

int ShowProgress(std::string folder)
{
    if (folder.back() != '\\')
        folder += '\\';
    CEraseProgressDialog dialog;
    dialog.setup.pluginFolder = folder + "plugin\\";
    dialog.setup.configPath = folder + "vestrel.conf";
    dialog.setup.recordPath = folder + "vestrel.log";
    dialog.setup.settings = Settings{};
    return static_cast<int>(dialog.DoModal());
}

int ShowResult(uint32_t bytes, uint32_t files, uint32_t registryEntries)
{
    CEraseResultDialog dialog;
    dialog.tally = EraseTally{files, bytes, registryEntries};
    return static_cast<int>(dialog.DoModal());
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring which = argc > 1 ? argv[1] : L"";
    if (which == L"progress" && argc > 2)
        return ShowProgress(ToUtf8(argv[2]));
    if (which == L"result" && argc > 4)
        return ShowResult(Number(argv[2]), Number(argv[3]), Number(argv[4]));
    if (which == L"close-prompt")
        return static_cast<int>(CClosePromptDialog().DoModal());
    if (which == L"loader")
        return static_cast<int>(CLoaderDialog().DoModal());
    if (which == L"options")
        return static_cast<int>(COptionsDialog(OptionsValues{}).DoModal());
    if (which == L"schedule")
        return static_cast<int>(CScheduleDialog(ScheduleValues{}).DoModal());
    if (which == L"about")
        return static_cast<int>(CAboutDialog().DoModal());
    return 100;
}

#include "app/RulesImportPrompt.h"

#include "framework/Utf8.h"
#include "import/RulesImport.h"

#include <commdlg.h>

namespace {

// A message box grows with its text; a whole rules file's reasons would not fit
// on a screen.
const size_t kShownSkipped = 12;

} // namespace

bool RulesImportPrompt::Run(HWND owner) const
{
    std::optional<std::string> path = AskForFile(owner);
    return path && Import(owner, *path);
}

bool RulesImportPrompt::Import(HWND owner, const std::string& rulesPath) const
{
    RulesImportRequest request;
    request.rulesPath = rulesPath;
    request.pluginFolder = setup_.pluginFolder;
    request.configPath = setup_.configPath;
    request.windowsVersion = setup_.windowsVersion;
    RulesImportResult result = ImportRules(request, ImportChecks::OfThisSystem());
    UINT icon = result.Complete() ? MB_ICONINFORMATION : MB_ICONWARNING;
    MessageBoxW(owner, ToWide(ImportSummaryText(result, kShownSkipped)).c_str(), L"Import Rules File",
                MB_OK | icon);
    return result.error.empty();
}

std::optional<std::string> RulesImportPrompt::AskForFile(HWND owner)
{
    std::wstring file(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"Rules files (*.ini)\0*.ini\0All files (*.*)\0*.*\0";
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = L"Import Rules File";
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog))
        return std::nullopt;
    file.resize(wcslen(file.c_str()));
    return ToUtf8(file);
}

#include "app/COptionsDialog.h"

#include "framework/RegKey.h"

#include <utility>

#include "resource.h"

BEGIN_MESSAGE_MAP(COptionsDialog, Dialog)
    ON_COMMAND(IDOK, OnApply)
END_MESSAGE_MAP()

COptionsDialog::COptionsDialog(AutoStartOperations autoStart)
    : Dialog(IDD_OPTIONS), autoStart_(std::move(autoStart))
{
}

bool COptionsDialog::OnInitDialog()
{
    const Settings& settings = ProcessSettings();
    CheckDlgButton(GetHwnd(), IDC_AUTO_LAUNCH, autoStart_.isEnabled() ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(GetHwnd(), IDC_EXPRESS_MODE, settings.expressEraseMode ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(GetHwnd(), IDC_PLAY_SOUND, settings.playSound ? BST_CHECKED : BST_UNCHECKED);
    return true;
}

void COptionsDialog::OnApply()
{
    // Rewritten every time, so an entry left by a copy elsewhere points at this one afterwards.
    if (IsChecked(IDC_AUTO_LAUNCH))
        autoStart_.enable();
    else
        autoStart_.disable();
    Settings& settings = ProcessSettings();
    Update(settings.expressEraseMode, IDC_EXPRESS_MODE, kExpressEraseModeValue);
    Update(settings.playSound, IDC_PLAY_SOUND, kPlaySoundValue);
    EndDialog(IDOK);
}

bool COptionsDialog::IsChecked(int id) const
{
    return IsDlgButtonChecked(GetHwnd(), id) == BST_CHECKED;
}

void COptionsDialog::Update(uint32_t& setting, int checkBox, const char* valueName) const
{
    uint32_t state = IsChecked(checkBox) ? 1 : 0;
    if (state == setting)
        return;
    RegKey key;
    if (key.Create(HKEY_CURRENT_USER, settingsKeyPath, KEY_ALL_ACCESS) == ERROR_SUCCESS)
        key.SetDword(state, valueName);
    setting = state;
}

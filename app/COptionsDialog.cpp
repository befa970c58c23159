#include "app/COptionsDialog.h"

#include "resource.h"

BEGIN_MESSAGE_MAP(COptionsDialog, Dialog)
    ON_COMMAND(IDOK, OnOk)
END_MESSAGE_MAP()

COptionsDialog::COptionsDialog(const OptionsValues& shown) : Dialog(IDD_OPTIONS), values(shown) {}

bool COptionsDialog::OnInitDialog()
{
    Check(IDC_AUTO_LAUNCH, values.autoLaunch);
    Check(IDC_EXPRESS_MODE, values.expressEraseMode);
    Check(IDC_PLAY_SOUND, values.playSound);
    return true;
}

void COptionsDialog::OnOk()
{
    values.autoLaunch = IsChecked(IDC_AUTO_LAUNCH);
    values.expressEraseMode = IsChecked(IDC_EXPRESS_MODE);
    values.playSound = IsChecked(IDC_PLAY_SOUND);
    EndDialog(IDOK);
}

void COptionsDialog::Check(int id, bool checked) const
{
    CheckDlgButton(GetHwnd(), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool COptionsDialog::IsChecked(int id) const
{
    return IsDlgButtonChecked(GetHwnd(), id) == BST_CHECKED;
}

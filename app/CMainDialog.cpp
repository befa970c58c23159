#include "app/CMainDialog.h"

#include "resource.h"

namespace {

const int kWindowWidth = 370;
const int kWindowHeight = 450;

} // namespace

BEGIN_MESSAGE_MAP(CMainDialog, Dialog)
END_MESSAGE_MAP()

CMainDialog::CMainDialog() : Dialog(IDD_MAIN) {}

bool CMainDialog::OnInitDialog()
{
    SetWindowTextW(GetHwnd(), L"Vestrel");
    SetWindowPos(GetHwnd(), nullptr, 0, 0, kWindowWidth, kWindowHeight, SWP_NOMOVE | SWP_NOZORDER);
    return true;
}

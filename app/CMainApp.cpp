#include "app/CMainApp.h"

#include "app/CMainDialog.h"

#include <commctrl.h>

int CMainApp::Run()
{
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    CMainDialog mainDialog;
    mainDialog.DoModal();
    return 0;
}

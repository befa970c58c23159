#include "resource.h"

#include <windows.h>

namespace {

INT_PTR CALLBACK MainProc(HWND window, UINT message, WPARAM wparam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        SetWindowPos(window, nullptr, 0, 0, 370, 450, SWP_NOMOVE | SWP_NOZORDER);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wparam) == IDCANCEL || LOWORD(wparam) == IDOK)) {
        EndDialog(window, 0);
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainProc, 0);
    return 0;
}

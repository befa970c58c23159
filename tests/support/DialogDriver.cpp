#include "tests/support/DialogDriver.h"

#include <utility>

namespace {

constexpr UINT kPollMs = 20;
constexpr ULONGLONG kDeadlineMs = 10000;

// The dialog being driven; thread timers carry no data of their own.
struct Drive {
    Dialog* dialog;
    std::function<void(HWND)> script;
    ULONGLONG deadline;
    bool scriptRan;
};
Drive* current = nullptr;

void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD)
{
    if (!current)
        return;
    HWND hwnd = current->dialog->GetHwnd();
    if (hwnd && !current->scriptRan && IsWindowVisible(hwnd)) {
        current->scriptRan = true;
        current->script(hwnd);
    } else if (hwnd && GetTickCount64() > current->deadline) {
        EndDialog(hwnd, kDialogTimedOut);
    }
}

} // namespace

INT_PTR RunDialogWith(Dialog& dialog, std::function<void(HWND)> script)
{
    Drive drive{&dialog, std::move(script), GetTickCount64() + kDeadlineMs, false};
    current = &drive;
    UINT_PTR timer = SetTimer(nullptr, 0, kPollMs, Poll);
    INT_PTR result = dialog.DoModal();
    KillTimer(nullptr, timer);
    current = nullptr;
    return result;
}

void Click(HWND dialog, int id)
{
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

bool IsEnabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

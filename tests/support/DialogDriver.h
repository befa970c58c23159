#pragma once
#include "framework/Dialog.h"

#include <functional>

// The result of a dialog the driver had to end because its script never did.
constexpr INT_PTR kDialogTimedOut = -2;

// Runs the dialog modally and, as soon as its window shows, the script on it from inside the dialog's own
// message loop, as a user's clicks would arrive. A dialog still open 10 seconds after the start, because
// its script failed or never ran, is ended with kDialogTimedOut.
INT_PTR RunDialogWith(Dialog& dialog, std::function<void(HWND)> script);

// Clicks a button or check box of the dialog.
void Click(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);

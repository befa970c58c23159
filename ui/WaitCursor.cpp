#include "ui/WaitCursor.h"

#include <windows.h>

WaitCursor::WaitCursor()
{
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

WaitCursor::~WaitCursor()
{
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

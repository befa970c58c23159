#pragma once

#include "framework/Window.h"

#include <commctrl.h>

// A standard progress bar control ("msctls_progress32"), usually attached with Dialog::AttachItem.
class ProgressBar : public Window {
public:
    void SetRange(int lower, int upper) { SendMessageW(GetHwnd(), PBM_SETRANGE32, lower, upper); }
    PBRANGE GetRange() const
    {
        PBRANGE range{};
        SendMessageW(GetHwnd(), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        return range;
    }
    void SetPos(int position) { SendMessageW(GetHwnd(), PBM_SETPOS, position, 0); }
    int GetPos() const { return static_cast<int>(SendMessageW(GetHwnd(), PBM_GETPOS, 0, 0)); }
};

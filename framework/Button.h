#pragma once

#include "framework/Window.h"

// A standard button control, usually attached to a dialog's button with Dialog::AttachItem.
class Button : public Window {
public:
    // BST_PUSHED, BST_FOCUS and the check state bits.
    UINT GetState() const { return static_cast<UINT>(SendMessageW(GetHwnd(), BM_GETSTATE, 0, 0)); }
    // The pushed look, as while the mouse button is held on it.
    void SetState(bool pushed) { SendMessageW(GetHwnd(), BM_SETSTATE, pushed, 0); }
    void SetButtonStyle(UINT style, bool redraw) { SendMessageW(GetHwnd(), BM_SETSTYLE, style, redraw); }
};

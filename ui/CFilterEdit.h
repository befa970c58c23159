#pragma once

#include "framework/Window.h"

#include <functional>
#include <string>

// The one-line field in which a check list's filter is typed. Escape, Enter and the Down arrow stay with the
// field instead of the dialog: the owner hears of them, and of every change of the text.
class CFilterEdit : public Window {
public:
    std::function<void()> onChange;
    std::function<void(UINT key)> onKey; // VK_ESCAPE, VK_RETURN or VK_DOWN

    bool Create(HWND parent, UINT id, HFONT font);
    std::string Text() const;

private:
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM, LPARAM);
    LRESULT OnChar(WPARAM, LPARAM);
    LRESULT OnCommand(WPARAM, LPARAM);

    static bool IsOwnKey(WPARAM key) { return key == VK_ESCAPE || key == VK_RETURN || key == VK_DOWN; }

    DECLARE_MESSAGE_MAP()
};

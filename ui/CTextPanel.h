#pragma once

#include "framework/Owners.h"
#include "framework/Window.h"
#include "ui/TextPanelAccessible.h"

#include <string>

// Text that a skinned dialog draws on its own surface (the statistics, the erase dialog's explanation, the
// loader's step), made readable for screen readers: a child window over the text that paints nothing,
// lets the mouse through to the dialog and reads as static text. The dialog keeps drawing the text itself
// and tells the panel each new text.
class CTextPanel : public Window {
public:
    CTextPanel() = default;
    ~CTextPanel() override;

    // Over rect of the parent's client area: made on the first call, moved on later ones (a change of DPI).
    bool Place(HWND parent, const RECT& rect);
    // Lines are read one after the other; a change is announced.
    void SetText(const std::string& text);

private:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBackground(WPARAM, LPARAM);
    LRESULT OnHitTest(WPARAM, LPARAM);
    LRESULT OnGetObject(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);

    std::string text_;
    ComPtr<TextPanelAccessible> accessible_; // made when a reader first asks

    DECLARE_MESSAGE_MAP()
};

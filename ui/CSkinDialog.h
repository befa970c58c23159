#pragma once

#include "framework/Dialog.h"
#include "framework/Dpi.h"
#include "framework/Owners.h"
#include "ui/CSkinButton.h"

// The faces and the size (in 96-DPI pixels) of a skin's push buttons.
struct PushButtonSkin {
    UINT face;
    UINT hoverFace;
    SIZE size;
};

// What every skinned dialog shares: no caption or frame of its own look, one background bitmap for its
// whole surface, drawn for the window's DPI, and a press anywhere on that surface drags the window as a
// caption would. The mouse wheel over a check list scrolls it, wherever the keyboard focus is. Moved to a
// monitor of another DPI, it takes the background of that DPI, the place the system suggests and the
// background's size, then lays its controls out again (Layout). In high contrast it paints the system's
// button face instead of its background, and turns back to the skin when high contrast goes.
class CSkinDialog : public Dialog {
public:
    CSkinDialog(UINT templateId, UINT backgroundId);
    // The template must outlive DoModal.
    CSkinDialog(const DLGTEMPLATE& memoryTemplate, UINT backgroundId);

    // Null when the bitmap failed to load; the dialog then shows the standard background.
    HBITMAP Background() const { return background_.get(); }

protected:
    // Takes the window's DPI and loads the background; a derived dialog calls it first from its own
    // OnInitDialog.
    bool OnInitDialog() override;
    // Places, sizes and skins the controls for WindowDpi(). Called after a change of DPI, before the whole
    // window is repainted; a dialog may call it from its OnInitDialog as well.
    virtual void Layout() {}
    const Dpi& WindowDpi() const { return dpi_; }
    // Makes the window as large as its background, keeping its top-left corner.
    void SizeToBackground();
    // Puts the window in the middle of its monitor's work area (the screen less the task bar).
    void CentreOnWorkArea();
    // Gives a push button the skin's faces for the DPI and the skin's button size, with its top-left
    // corner at (left, top) in 96-DPI pixels; called again after a change of DPI.
    static void PlaceSkinButton(CSkinButton& button, const PushButtonSkin& skin, const Dpi& dpi, int left,
                                int top);

private:
    LRESULT OnEraseBackground(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnMouseWheel(WPARAM, LPARAM);
    LRESULT OnSystemChange(WPARAM, LPARAM);
    void OnDpiChanged(UINT dpi, const RECT& suggested);

    Dpi dpi_;
    UINT backgroundId_;
    GdiObject<HBITMAP> background_;

    DECLARE_MESSAGE_MAP()
};

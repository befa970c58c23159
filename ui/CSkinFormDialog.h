#pragma once

#include "framework/Owners.h"
#include "ui/CSkinButton.h"
#include "ui/CSkinDialog.h"

#include <memory>
#include <string>
#include <vector>

// A skinned dialog whose controls keep the places its template gives them, for dialogs of check boxes,
// lists and edits: the skin's body behind them, a dark band across the top with the program icon and the
// dialog's name, a line over the row of buttons at the bottom, and the skin's faces on every push button.
// Like the other skinned windows it has no frame of its own, and a press on its surface drags it.
class CSkinFormDialog : public CSkinDialog {
public:
    // What the surface shows, in pixels of the window's DPI.
    struct Surface {
        int bandBottom;
        int buttonLine; // the line over the buttons; none when 0
        HICON icon;
        int iconSize;
        HFONT titleFont;
        std::string title;
    };

    // The program's faces for the buttons and its icon for the band, and the band's height in dialog units:
    // the template leaves that much free at the top.
    struct Skin {
        PushButtonSkin buttons;
        UINT iconId;
        int bandHeight;
    };

    // title: the window's name, which the band shows (a caption in the template would add a frame).
    CSkinFormDialog(UINT templateId, const Skin& skin, std::string title);

    // Paints the whole client area.
    static void Paint(HDC dc, const RECT& client, const Surface& surface);

protected:
    // Skins the push buttons; a derived dialog calls it first from its own OnInitDialog.
    bool OnInitDialog() override;
    void Layout() override;

private:
    LRESULT OnEraseBackground(WPARAM, LPARAM);
    LRESULT OnControlColour(WPARAM, LPARAM);
    Surface CurrentSurface() const;

    Skin skin_;
    std::string title_;
    std::vector<std::unique_ptr<CSkinButton>> buttons_;
    GdiObject<HBRUSH> bodyBrush_;
    GdiObject<HFONT> titleFont_;
    HICON icon_ = nullptr; // shared, from LoadImage

    DECLARE_MESSAGE_MAP()
};

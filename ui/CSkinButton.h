#pragma once

#include "framework/Button.h"
#include "framework/Dpi.h"
#include "framework/Owners.h"
#include "ui/CToolTip.h"
#include "ui/SkinButtonAccessible.h"

#include <optional>
#include <string>

// An owner-drawn push button, check box or radio button whose faces come from bitmaps in the resources,
// with a hover face while the mouse is over it, the pressed face only while a press stays on it, a tooltip,
// and its own check state. Attach it to a dialog's button (Dialog::AttachItem), then call SetToolTipText
// and SetSkin; its kind comes from the button's style and the style becomes owner-drawn. A push button
// still answers the dialog manager as a push button does, so Enter presses the focused one.
class CSkinButton : public Button {
public:
    enum class Kind { Push = 0, CheckBox = 2, Radio = 4 };
    enum DrawMode { Plain = 0, Stretch = 1, Tile = 2 };
    // Sent by a radio button being checked to the other buttons of its dialog group.
    static constexpr UINT kUncheckMessage = WM_USER + 0x100;
    // Posted by a screen reader's default action: what a click does.
    static constexpr UINT kClickMessage = WM_USER + 0x101;

    // The state one face is drawn for.
    struct Face {
        bool disabled = false;
        bool pressed = false; // held down, or checked
        bool hovering = false;
        bool focused = false;
        bool focusCue = true; // the system shows focus cues now (off after mouse use until a key)
        std::string caption;
    };

    CSkinButton() = default;
    // Lets go of the button before the faces and the tooltip go, so no message meets them half destroyed.
    ~CSkinButton() override;

    // Bitmap ids, 0 for none; without a disabled face the normal one is used. drawMode: negative gives
    // Plain, above 1 gives Tile. border: draw 3-D edges when its low 16 bits are not 0. focusMargin: a focus
    // rectangle this far inside the edge, none when 0 or negative. A mask cuts the window to its non-white
    // pixels and, in Plain mode, sizes the button to the mask.
    void SetSkin(UINT normal, UINT pressed = 0, UINT hover = 0, UINT disabled = 0, UINT focus = 0,
                 UINT mask = 0, int drawMode = Plain, int border = 0, int focusMargin = 0);
    void SetToolTipText(const std::string& text);
    // The DPI the faces are loaded and the focus frame drawn for; the window's own until set. An owner
    // following WM_DPICHANGED sets the new one, then the skin again.
    void SetDpi(const Dpi& dpi) { dpi_ = dpi; }
    // Returns the previous caption colour.
    COLORREF SetTextColor(COLORREF colour);

    // A button that chooses a page of its window reads as a page tab, selected while its page shows, with
    // the key that chooses it (such as "Alt+1").
    void SetPageTab(const std::string& shortcut) { pageTabShortcut_ = shortcut; }
    void SetSelectedTab(bool selected);
    bool IsPageTab() const { return !pageTabShortcut_.empty(); }
    bool IsSelectedTab() const { return selectedTab_; }
    // The page tab's key, or "" when the caption's "&" gives it.
    const std::string& Shortcut() const { return pageTabShortcut_; }
    const std::string& ToolTipText() const { return toolTipText_; }
    // A window's own title-bar button, too small for its name: without the skin it shows the glyph.
    enum class CaptionGlyph { None, Minimize, Close };
    void SetCaptionGlyph(CaptionGlyph glyph) { captionGlyph_ = glyph; }

    Kind GetKind() const { return kind_; }
    bool IsChecked() const { return checked_; }
    bool IsHovering() const { return hovering_; }

    // Draws the face and caption for the state into rect, with the font selected in dc. A focused button
    // showing focus cues gets a frame in the skin's focus colour just inside its edge. In high contrast it
    // draws no bitmap: system colours only, and the focus framed whatever the cues say.
    void Paint(HDC dc, const RECT& rect, const Face& face) const;

private:
    void OnAttached() override;
    LRESULT OnDrawItem(WPARAM, LPARAM);
    LRESULT OnEraseBackground(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnMouseLeave(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnLButtonDoubleClick(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM, LPARAM);
    LRESULT OnSetFocus(WPARAM, LPARAM);
    LRESULT OnKillFocus(WPARAM, LPARAM);
    LRESULT OnSetCheck(WPARAM, LPARAM);
    LRESULT OnGetCheck(WPARAM, LPARAM);
    LRESULT OnUncheck(WPARAM, LPARAM);
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    LRESULT OnSetStyle(WPARAM, LPARAM);
    LRESULT OnClick(WPARAM, LPARAM);
    LRESULT OnGetObject(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    void Announce(DWORD event) const;

    bool FollowPressWhileHeld();
    void PressDown(UINT message, WPARAM wParam, LPARAM lParam);
    void ApplyCheckClick();
    void UncheckGroup();
    void ApplyMask();
    void Redraw() const;
    Dpi CurrentDpi() const;
    void DrawFace(HDC dc, HBITMAP bitmap, const RECT& rect) const;
    void DrawMasked(HDC dc, HBITMAP bitmap, const RECT& rect) const;
    void DrawCaption(HDC dc, const std::string& caption, RECT area, COLORREF colour) const;
    void PaintPlain(HDC dc, const RECT& rect, const Face& face) const;
    void DrawCaptionGlyph(HDC dc, const RECT& rect, COLORREF colour) const;
    void DrawPlainCaption(HDC dc, const std::string& caption, RECT area, COLORREF colour) const;

    Kind kind_ = Kind::Push;
    bool checked_ = false;
    bool hovering_ = false;
    bool held_ = false;
    bool default_ = false; // the dialog's default push button, as the dialog manager last said
    GdiObject<HBITMAP> normal_;
    GdiObject<HBITMAP> pressed_;
    GdiObject<HBITMAP> hover_;
    GdiObject<HBITMAP> disabled_;
    GdiObject<HBITMAP> focus_;
    GdiObject<HBITMAP> mask_;
    bool shaped_ = false; // the window has a region from a mask
    std::optional<Dpi> dpi_;
    int drawMode_ = Stretch;
    bool border_ = false;
    int focusMargin_ = 0;
    COLORREF textColour_ = GetSysColor(COLOR_BTNTEXT);
    CToolTip toolTip_;
    std::string toolTipText_;
    std::string pageTabShortcut_;
    bool selectedTab_ = false;
    CaptionGlyph captionGlyph_ = CaptionGlyph::None;
    ComPtr<SkinButtonAccessible> accessible_; // made when a reader first asks

    DECLARE_MESSAGE_MAP()
};

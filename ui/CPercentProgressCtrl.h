#pragma once

#include "framework/Owners.h"
#include "framework/ProgressBar.h"
#include "ui/PercentProgressAccessible.h"

#include <string>

// What the bar shows: the standard control's range, position and orientation, and this control's colours.
struct ProgressLook {
    int lower = 0;
    int upper = 100;
    int pos = 0;
    bool vertical = false;
    bool showPercent = true;
    COLORREF startColour = RGB(0, 160, 0); // the bar's outer lines
    COLORREF endColour = RGB(0, 255, 0);   // reached at the bar's middle
    COLORREF textColour = RGB(255, 255, 255);
    COLORREF groundColour = RGB(192, 192, 192); // where the bar has not reached
};

// The standard progress bar (a subclassed "msctls_progress32") painted as a shaded green bar on light grey,
// or in a skin's colours, with the percentage written over it. Screen readers hear the percentage as the
// bar's value, and a change of it when it moves.
class CPercentProgressCtrl : public ProgressBar {
public:
    CPercentProgressCtrl() = default;
    ~CPercentProgressCtrl() override;

    void ShowPercent(bool show);
    // The ground and the bar's shading, for a bar on a skinned window.
    void SetColours(COLORREF ground, COLORREF edge, COLORREF middle);

    // The control's current look.
    ProgressLook Look() const;

    // Draws the ground, the bar and the text into rect with the font selected in dc; in high contrast in
    // the system's colours.
    static void Paint(HDC dc, const RECT& rect, const ProgressLook& look);
    // The percentage as the bar writes it: "%3.0f %%".
    static std::string PercentText(const ProgressLook& look);
    // The percentage as screen readers read it: "42%".
    static std::string PercentValue(const ProgressLook& look);

private:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnPrintClient(WPARAM, LPARAM);
    LRESULT OnEraseBackground(WPARAM, LPARAM);
    LRESULT OnMoved(WPARAM, LPARAM);
    LRESULT OnGetObject(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    void PaintBuffered(HDC dc);
    static void PaintPlain(HDC dc, const RECT& rect, const ProgressLook& look);

    bool showPercent_ = true;
    ProgressLook colours_;
    ComPtr<PercentProgressAccessible> accessible_; // made when a reader first asks

    DECLARE_MESSAGE_MAP()
};

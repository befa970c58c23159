#pragma once
#include "framework/Dpi.h"
#include "framework/Owners.h"
#include "ui/CPercentProgressCtrl.h"
#include "ui/CTextPanel.h"
#include "ui/CSkinDialog.h"

// The start-up screen: a skin, a bar and one line of text that step through a fixed timetable of nine
// half seconds, after which the screen closes itself with IDOK. It does no loading of its own.
class CLoaderDialog : public CSkinDialog {
public:
    // The window's name, which no caption shows; it names the window to the system and to tests.
    static constexpr char kTitle[] = "Vestrel Loading";

    static constexpr int kLastStep = 8;
    static constexpr UINT kStepMs = 500;
    // Repainted at each step (at 96 DPI; scaled to the window's); it reaches past the longest line, so a
    // shorter line leaves nothing of the one before.
    static constexpr RECT kTextArea{60, 150, 290, 190};

    CLoaderDialog();

    int Step() const { return step_; }
    const CPercentProgressCtrl& Bar() const { return bar_; }

    // The line shown at a step.
    static const char* StepText(int step);
    // Draws the current step's line onto the screen, whose background is already painted.
    void PaintText(HDC dc) const;

private:
    bool OnInitDialog() override;
    void OnTimer(UINT_PTR timer);
    void Layout() override;
    LRESULT OnPaint(WPARAM, LPARAM);

    int step_ = 0;
    CPercentProgressCtrl bar_;
    CTextPanel status_; // the step's line, for screen readers
    GdiObject<HFONT> font_;

    DECLARE_MESSAGE_MAP()
};

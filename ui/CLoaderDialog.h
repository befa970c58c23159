#pragma once
#include "framework/Owners.h"
#include "ui/CPercentProgressCtrl.h"
#include "ui/CSkinDialog.h"

// The start-up screen: a skin, a bar and one line of text that step through a fixed timetable of nine
// half seconds, after which the screen closes itself with IDOK. It does no loading of its own.
class CLoaderDialog : public CSkinDialog {
public:
    static constexpr int kLastStep = 8;
    static constexpr UINT kStepMs = 500;

    CLoaderDialog();

    int Step() const { return step_; }
    const CPercentProgressCtrl& Bar() const { return bar_; }

    // The line shown at a step.
    static const char* StepText(int step);
    // Draws the current step's line onto the screen, whose background is already painted.
    void PaintText(HDC dc) const;

private:
    bool OnInitDialog() override;
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);

    int step_ = 0;
    CPercentProgressCtrl bar_;
    GdiObject<HFONT> font_;

    DECLARE_MESSAGE_MAP()
};

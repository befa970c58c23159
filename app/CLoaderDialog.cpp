#include "app/CLoaderDialog.h"

#include "framework/Utf8.h"
#include "resource.h"
#include "ui/SkinDrawing.h"

namespace {

constexpr UINT_PTR kStepTimer = 1;
constexpr int kFontHeight = 18;
constexpr int kTextLeft = 70;
constexpr int kTextTop = 170;
constexpr RECT kBarRect{70, 200, 70 + 200, 200 + 6};

} // namespace

BEGIN_MESSAGE_MAP(CLoaderDialog, CSkinDialog)
    ON_WM_TIMER(OnTimer)
    ON_MESSAGE(WM_PAINT, OnPaint)
END_MESSAGE_MAP()

CLoaderDialog::CLoaderDialog() : CSkinDialog(IDD_LOADER, IDB_LOADER_BACKGROUND) {}

const char* CLoaderDialog::StepText(int step)
{
    static const char* const kTexts[] = {
        "Load Eraser Setting",       "Load Eraser Setting",     "Load Skin Scheme",
        "Load Cookie Information",   "Load Cache Information",  "Load Log Information",
        "Load Registry Information", "Load Plugin Information", "Load Schedule Information",
    };
    return kTexts[step < 0 ? 0 : step > kLastStep ? kLastStep : step];
}

bool CLoaderDialog::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SetWindowTextW(GetHwnd(), ToWide(kTitle).c_str());
    SizeToBackground();
    CentreOnWorkArea();
    step_ = 0;
    SetTimer(GetHwnd(), kStepTimer, kStepMs, nullptr);
    AttachItem(IDC_PROGRESS_BAR, bar_);
    bar_.SetRange(0, kLastStep);
    bar_.SetPos(0);
    bar_.ShowPercent(false);
    bar_.SetColours(kSkinBandRaisedColour, kSkinFocusColour, kSkinTealColour);
    Layout();
    return true;
}

void CLoaderDialog::Layout()
{
    const RECT bar = WindowDpi().Scale(kBarRect);
    SetWindowPos(bar_.GetHwnd(), nullptr, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    font_ = CreateSkinFont(WindowDpi().Scale(kFontHeight));
    status_.Place(GetHwnd(), WindowDpi().Scale(kTextArea));
    status_.SetText(StepText(step_));
}

void CLoaderDialog::OnTimer(UINT_PTR timer)
{
    if (timer != kStepTimer)
        return;
    ++step_;
    bar_.SetPos(step_);
    const RECT textArea = WindowDpi().Scale(kTextArea);
    InvalidateRect(GetHwnd(), &textArea, TRUE);
    status_.SetText(StepText(step_));
    if (step_ > kLastStep) {
        KillTimer(GetHwnd(), kStepTimer);
        EndDialog(IDOK);
    }
}

LRESULT CLoaderDialog::OnPaint(WPARAM, LPARAM)
{
    PaintDC paint(GetHwnd());
    PaintText(paint.get());
    return 0;
}

void CLoaderDialog::PaintText(HDC dc) const
{
    const POINT origin = WindowDpi().Scale(POINT{kTextLeft, kTextTop});
    DrawTextLines(dc, {font_.get(), RGB(255, 255, 255), origin, 0}, {StepText(step_)});
}

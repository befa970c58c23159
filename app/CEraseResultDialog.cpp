#include "app/CEraseResultDialog.h"

#include "app/AppSkin.h"
#include "app/CEraseDetailsDialog.h"
#include "run/ItemPreview.h"
#include "framework/Utf8.h"
#include "resource.h"
#include "ui/SkinDrawing.h"

namespace {

constexpr int kTextLeft = 25;
constexpr int kTextRight = 282; // inside the panel's edge at 286
constexpr int kFirstLineTop = 100;
constexpr int kLineStep = 20;
constexpr size_t kCountLines = 3;
constexpr int kNoteTop = 163;
constexpr COLORREF kNoteColour = RGB(0xB0, 0x20, 0x20);
constexpr int kButtonTop = 192;
constexpr int kCloseAlone = 108;
constexpr int kCloseBeside = 63;
constexpr int kDetailsLeft = 179;
constexpr int kFontHeight = 14;

} // namespace

BEGIN_MESSAGE_MAP(CEraseResultDialog, CSkinDialog)
    ON_MESSAGE(WM_PAINT, OnPaint)
    ON_COMMAND(IDC_RESULT_DETAILS, OnDetails)
END_MESSAGE_MAP()

CEraseResultDialog::CEraseResultDialog() : CSkinDialog(IDD_ERASE_RESULT, IDB_RESULT_BACKGROUND) {}

std::vector<std::string> CEraseResultDialog::ResultLines(const EraseTally& tally, const Leftovers& left,
                                                         const std::function<bool(const std::string&)>& fits)
{
    std::vector<std::string> lines{"Released HD Space: " + SizeText(tally.bytesReleased) + "; ",
                                   "Files Erased: " + GroupedNumber(tally.filesErased) + ";",
                                   "Registry Keys Erased: " + GroupedNumber(tally.registryEntriesErased)};
    if (left.Total() == 0)
        return lines;
    std::string note = "Left: " + LeftoversText(left);
    if (fits && !fits(note)) {
        const unsigned total = left.Total();
        note = "Left: " + CountText(total, "entry", "entries") + ", see Details";
    }
    lines.push_back(note);
    return lines;
}

int CEraseResultDialog::TextWidth() const
{
    return WindowDpi().Scale(kTextRight) - WindowDpi().Scale(kTextLeft);
}

std::vector<std::string> CEraseResultDialog::FittedResultLines(HDC dc) const
{
    SelectedObject font(dc, font_.get());
    const int width = TextWidth();
    return ResultLines(tally, left, [&](const std::string& line) {
        std::wstring text = ToWide(line);
        SIZE size{};
        return GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size) &&
               size.cx <= width;
    });
}

bool CEraseResultDialog::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SetWindowTextW(GetHwnd(), ToWide(kTitle).c_str());
    AttachItem(IDOK, close_);
    close_.SetToolTipText("Close");
    AttachItem(IDC_RESULT_DETAILS, details_);
    details_.SetToolTipText("What could not be removed");
    ShowWindow(details_.GetHwnd(), leftLines.empty() ? SW_HIDE : SW_SHOW);
    Layout();
    // Whatever was active while the run went on, the result takes the keys, Enter and Escape closing it.
    SetForegroundWindow(GetHwnd());
    SetFocus(close_.GetHwnd());
    return false;
}

// Every place and size for the window's DPI.
void CEraseResultDialog::Layout()
{
    SizeToBackground();
    const int closeLeft = leftLines.empty() ? kCloseAlone : kCloseBeside;
    PlaceSkinButton(close_, kPushButtonSkin, WindowDpi(), closeLeft, kButtonTop);
    PlaceSkinButton(details_, kPushButtonSkin, WindowDpi(), kDetailsLeft, kButtonTop);
    font_ = CreateSkinFont(WindowDpi().Scale(kFontHeight));
}

void CEraseResultDialog::OnDetails()
{
    CEraseDetailsDialog details;
    details.lines = leftLines;
    details.DoModal(GetHwnd());
}

LRESULT CEraseResultDialog::OnPaint(WPARAM, LPARAM)
{
    PaintDC paint(GetHwnd());
    PaintResult(paint.get());
    return 0;
}

// The counts fill the background's panel; what was left is a note of its own, in red, under it.
void CEraseResultDialog::PaintResult(HDC dc) const
{
    std::vector<std::string> lines = FittedResultLines(dc);
    std::vector<std::string> note(lines.begin() + kCountLines, lines.end());
    lines.resize(kCountLines);
    const Dpi& dpi = WindowDpi();
    const int step = dpi.Scale(kLineStep);
    const int right = dpi.Scale(kTextLeft) + TextWidth();
    DrawTextLines(dc, {font_.get(), RGB(0, 0, 0), dpi.Scale(POINT{kTextLeft, kFirstLineTop}), step, right},
                  lines);
    DrawTextLines(dc, {font_.get(), kNoteColour, dpi.Scale(POINT{kTextLeft, kNoteTop}), step, right}, note);
}

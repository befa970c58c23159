#include "app/CEraseResultDialog.h"

#include "app/AppSkin.h"
#include "app/CEraseDetailsDialog.h"
#include "run/ItemPreview.h"
#include "framework/Utf8.h"
#include "resource.h"
#include "ui/SkinDrawing.h"

#include <algorithm>

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
constexpr RECT kTitleArea{58, 12, 300, 37}; // to the header's right edge, above the subtitle
constexpr int kShadeStep = 4;
constexpr int kTitleFontHeight = 19;

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
    ShowWindow(details_.GetHwnd(), leftEntries.empty() ? SW_HIDE : SW_SHOW);
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
    const int closeLeft = leftEntries.empty() ? kCloseAlone : kCloseBeside;
    PlaceSkinButton(close_, kPushButtonSkin, WindowDpi(), closeLeft, kButtonTop);
    PlaceSkinButton(details_, kPushButtonSkin, WindowDpi(), kDetailsLeft, kButtonTop);
    font_ = CreateSkinFont(WindowDpi().Scale(kFontHeight));
    titleFont_ = CreateSkinFont(WindowDpi().Scale(kTitleFontHeight));
}

std::string CEraseResultDialog::NotReachedText(int notReached)
{
    return "Stopped: " + CountText(static_cast<uint64_t>(notReached), "item", "items") + " not reached";
}

// The background's title is covered row by row, from the header's colour left of it to the colour at the
// header's right edge, as the background shades it.
void CEraseResultDialog::PaintStoppedTitle(HDC dc) const
{
    const RECT area = WindowDpi().Scale(kTitleArea);
    MemoryDC source(CreateCompatibleDC(dc));
    SelectedObject bitmap(source.get(), Background());
    const int width = area.right - area.left;
    for (int y = area.top; y < area.bottom; ++y) {
        const COLORREF from = GetPixel(source.get(), area.left - 1, y);
        const COLORREF to = GetPixel(source.get(), area.right - 1, y);
        for (int x = area.left; x < area.right; x += kShadeStep) {
            auto channel = [&](int shift) {
                const int start = (from >> shift) & 0xFF;
                const int end = (to >> shift) & 0xFF;
                return static_cast<COLORREF>(start + (end - start) * (x - area.left) / width) << shift;
            };
            GdiObject<HBRUSH> brush(CreateSolidBrush(channel(0) | channel(8) | channel(16)));
            RECT piece{x, y, std::min(x + kShadeStep, static_cast<int>(area.right)), y + 1};
            FillRect(dc, &piece, brush.get());
        }
    }
    const POINT at = WindowDpi().Scale(POINT{kTitleArea.left + 3, kTitleArea.top + 4});
    DrawTextLines(dc, {titleFont_.get(), RGB(255, 255, 255), at, 0, area.right}, {kStoppedTitle});
}

void CEraseResultDialog::OnDetails()
{
    CEraseDetailsDialog details(leftEntries);
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
    if (stopped) {
        PaintStoppedTitle(dc);
        if (note.empty() && notReached > 0)
            note.push_back(NotReachedText(notReached));
    }
    const Dpi& dpi = WindowDpi();
    const int step = dpi.Scale(kLineStep);
    const int right = dpi.Scale(kTextLeft) + TextWidth();
    DrawTextLines(dc, {font_.get(), RGB(0, 0, 0), dpi.Scale(POINT{kTextLeft, kFirstLineTop}), step, right},
                  lines);
    DrawTextLines(dc, {font_.get(), kNoteColour, dpi.Scale(POINT{kTextLeft, kNoteTop}), step, right}, note);
}

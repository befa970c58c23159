#include "app/CEraseResultDialog.h"

#include "framework/Utf8.h"
#include "resource.h"
#include "ui/SkinDrawing.h"

#include <cstdio>

namespace {

constexpr int kTextLeft = 25;
constexpr int kFirstLineTop = 100;
constexpr int kLineStep = 20;
constexpr RECT kCloseButton{108, 192, 108 + 84, 192 + 25};

std::string Format(const char* format, unsigned value)
{
    char text[96];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

BEGIN_MESSAGE_MAP(CEraseResultDialog, CSkinDialog)
    ON_MESSAGE(WM_PAINT, OnPaint)
END_MESSAGE_MAP()

CEraseResultDialog::CEraseResultDialog() : CSkinDialog(IDD_ERASE_RESULT, IDB_RESULT_BACKGROUND) {}

std::vector<std::string> CEraseResultDialog::ResultLines(const EraseTally& tally)
{
    return {Format("Released HD Space: %u KB; ", tally.bytesReleased / 1024),
            Format("Files Erased: %u;", tally.filesErased),
            Format("Registry Keys Erased: %u", tally.registryEntriesErased)};
}

bool CEraseResultDialog::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SetWindowTextW(GetHwnd(), ToWide(kTitle).c_str());
    SizeToBackground();
    AttachItem(IDOK, close_);
    close_.SetToolTipText("Close");
    close_.SetSkin(IDB_BUTTON, IDB_BUTTON_HOVER, IDB_BUTTON_HOVER);
    SetWindowPos(close_.GetHwnd(), nullptr, kCloseButton.left, kCloseButton.top,
                 kCloseButton.right - kCloseButton.left, kCloseButton.bottom - kCloseButton.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    font_ = CreateSkinFont(14);
    return true;
}

LRESULT CEraseResultDialog::OnPaint(WPARAM, LPARAM)
{
    PaintDC paint(GetHwnd());
    PaintResult(paint.get());
    return 0;
}

void CEraseResultDialog::PaintResult(HDC dc) const
{
    DrawTextLines(dc, {font_.get(), RGB(0, 0, 0), {kTextLeft, kFirstLineTop}, kLineStep}, ResultLines(tally));
}

#include "app/CEraseProgressDialog.h"

#include "app/CEraseResultDialog.h"
#include "app/EraseBusy.h"
#include "app/EraseRun.h"
#include "app/RunSelection.h"
#include "framework/Utf8.h"
#include "resource.h"
#include "settings/RecordLog.h"
#include "ui/SkinDrawing.h"
#include "ui/WaitCursor.h"

#include <commctrl.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr RECT kListRect{46, 84, 320, 318};
constexpr RECT kEraseButton{112, 410, 112 + 84, 410 + 25};
constexpr RECT kCancelButton{230, 410, 230 + 84, 410 + 25};
constexpr RECT kBarRect{30, 331, 30 + 311, 331 + 10};
constexpr RECT kStatusArea{20, 340, 360, 390};
constexpr int kStatusLeft = 35;
constexpr int kStatusTop = 350;
constexpr int kLineStep = 20;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

BOOL CALLBACK HideIfToolTip(HWND hwnd, LPARAM)
{
    wchar_t name[32] = {};
    GetClassNameW(hwnd, name, 32);
    if (std::wcscmp(name, TOOLTIPS_CLASSW) == 0)
        SendMessageW(hwnd, TTM_POP, 0, 0);
    return TRUE;
}

// A tooltip still up when the run starts would stay up until the run ends, as the run handles no messages.
void HideToolTips()
{
    EnumThreadWindows(GetCurrentThreadId(), HideIfToolTip, 0);
}

void Place(HWND control, const RECT& place)
{
    SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

BEGIN_MESSAGE_MAP(CEraseProgressDialog, CSkinDialog)
    ON_MESSAGE(WM_PAINT, OnPaint)
    ON_COMMAND(IDC_START_ERASE, OnErase)
END_MESSAGE_MAP()

CEraseProgressDialog::CEraseProgressDialog() : CSkinDialog(IDD_ERASE_PROGRESS, IDB_PROGRESS_BACKGROUND) {}

std::vector<std::string> CEraseProgressDialog::StatusLines(const std::string& status, const EraseTally& tally)
{
    char first[160];
    std::snprintf(first, sizeof first, "Status: %s;  Released HD Space: %u KB; ", status.c_str(),
                  tally.bytesReleased / 1024);
    char second[96];
    std::snprintf(second, sizeof second, "Files Erased: %u, Registry Keys Erased: %u", tally.filesErased,
                  tally.registryEntriesErased);
    return {first, second};
}

bool CEraseProgressDialog::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SetWindowTextW(GetHwnd(), ToWide(kTitle).c_str());
    if (!list_.Create(kListRect, GetHwnd(), IDC_CHECK_LIST, IDB_PROGRESS_CHECK_DONE,
                      IDB_PROGRESS_CHECK_PENDING, IDB_PROGRESS_CHECK_PENDING, kWhite)) {
        EndDialog(IDCANCEL);
        return false;
    }
    ListItems();
    list_.SetToggleEnabled(false);
    SkinButton(erase_, IDC_START_ERASE, "Start Erase Now", kEraseButton);
    SkinButton(cancel_, IDOK, "Cancel", kCancelButton);
    status_ = "Ready";
    SizeToBackground();
    AttachItem(IDC_PROGRESS_BAR, bar_);
    Place(bar_.GetHwnd(), kBarRect);
    bar_.SetRange(0, selectedCount_);
    font_ = CreateSkinFont(14);
    return true;
}

// The rows are added under the run's own filter in the run's order, so the run's n-th item is row n - 1.
void CEraseProgressDialog::ListItems()
{
    RunSelection selection(setup.configPath);
    EraseItemList items(setup.pluginFolder, setup.windowsVersion, selection);
    selectedCount_ = 0;
    list_.ResetContent();
    COLORREF highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    for (const EraseItem* item : ItemsToErase(items, selection)) {
        ++selectedCount_;
        list_.AddItem(item->descript, nullptr, 0, 0, kBlack, highlightText, highlight);
    }
    tally_ = {};
}

void CEraseProgressDialog::SkinButton(CSkinButton& button, int id, const char* tip, const RECT& place)
{
    AttachItem(id, button);
    button.SetToolTipText(tip);
    button.SetSkin(IDB_BUTTON, IDB_BUTTON_HOVER, IDB_BUTTON_HOVER);
    Place(button.GetHwnd(), place);
}

LRESULT CEraseProgressDialog::OnPaint(WPARAM, LPARAM)
{
    PaintDC paint(GetHwnd());
    PaintStatus(paint.get());
    return 0;
}

void CEraseProgressDialog::PaintStatus(HDC dc) const
{
    DrawTextLines(dc, {font_.get(), kBlack, {kStatusLeft, kStatusTop}, kLineStep},
                  StatusLines(status_, tally_));
}

void CEraseProgressDialog::OnErase()
{
    try {
        RunInteractiveErase();
    } catch (...) {
        // The run's guards have put the busy flag and the cursor back; the statistics keep what was added.
        EndDialog(IDCANCEL);
    }
}

void CEraseProgressDialog::RunInteractiveErase()
{
    {
        EraseBusyScope busy;
        HideToolTips();
        bar_.SetRange(0, selectedCount_);
        bar_.ShowPercent(false);
        {
            WaitCursor wait;
            RunSelection selection(setup.configPath);
            EraseItemList items(setup.pluginFolder, setup.windowsVersion, selection);
            RecordLog log(setup.recordPath);
            EraseRun run(InteractivePacing(setup.settings), *hooks, log);
            run.onItemDone = [this](int doneCount) { ShowItemDone(doneCount); };
            tally_ = run.Execute(items, selection);
        }
        status_ = "Success";
        InvalidateRect(GetHwnd(), &kStatusArea, TRUE);
        AddRunToStoredStatistics(tally_, setup.clock(), setup.settingsKey);
    }
    EndDialog(IDOK);
    // Owned by the main window, which ending this dialog has enabled again: the result keeps it disabled.
    CEraseResultDialog result;
    result.tally = tally_;
    result.lastErasedText = ProcessStatistics().lastErasedText;
    result.DoModal(GetWindow(GetHwnd(), GW_OWNER));
}

// The run handles no messages until it ends, so the bar and the ticked row are painted here and now.
void CEraseProgressDialog::ShowItemDone(int doneCount)
{
    bar_.SetPos(doneCount);
    list_.SetCheck(doneCount - 1, 1);
    RedrawWindow(GetHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void ShowEraseProgress(HWND owner, const EraseRunSetup& setup, EraseRunHooks& hooks)
{
    CEraseProgressDialog dialog;
    dialog.setup = setup;
    dialog.hooks = &hooks;
    dialog.DoModal(owner);
    // A run has stored its sum already; after a Cancel the window shows what is stored, writing nothing.
    LoadStatistics(setup.settingsKey);
}

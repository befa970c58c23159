#include "app/CEraseProgressDialog.h"

#include "app/AppSkin.h"
#include "app/CEraseResultDialog.h"
#include "app/CItemFilesDialog.h"
#include "engine/items/EraseItemList.h"
#include "framework/Format.h"
#include "framework/Utf8.h"
#include "resource.h"
#include "run/EraseRun.h"
#include "run/RunSelection.h"
#include "ui/SkinDrawing.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <utility>

namespace {

constexpr RECT kListRect{46, 84, 320, 236};
// Under the list, inside the background's frame around it.
constexpr RECT kExplanationRect{52, 243, 314, 316};
constexpr RECT kSeparator{46, 239, 320, 240};
constexpr COLORREF kFrameColour = RGB(195, 206, 219);
constexpr COLORREF kWarningColour = RGB(0xB0, 0x20, 0x20);
constexpr int kExplanationFontHeight = 13;
// The bar in the skin's teal on the frame's blue-grey.
constexpr COLORREF kBarGround = RGB(226, 232, 239);
constexpr COLORREF kBarMiddle = RGB(0x4F, 0xD1, 0xBF);
constexpr int kShowFilesLeft = 35;
constexpr int kEraseLeft = 143;
constexpr int kCancelLeft = 251;
constexpr int kButtonTop = 410;
constexpr RECT kBarRect{30, 331, 30 + 311, 331 + 10};
constexpr RECT kStatusArea{20, 340, 360, 390};
constexpr int kStatusLeft = 35;
constexpr int kStatusTop = 350;
constexpr int kLineStep = 20;
constexpr int kFontHeight = 14;
constexpr int kStatusRight = 340; // inside the panel's edge at 350
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

// A tooltip of the Erase button would otherwise stay up over the disabled button for the whole run.
void HideToolTips()
{
    EnumThreadWindows(GetCurrentThreadId(), HideIfToolTip, 0);
}

// Clicks and keys the user gave while the run went on were meant for a dialog that no longer takes
// them; the result must not receive them.
void DiscardQueuedInput()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
}

void Place(HWND control, const RECT& place)
{
    SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The first form that fits, or the last one.
std::string FirstThatFits(const std::vector<std::string>& forms, const CEraseProgressDialog::LineFits& fits)
{
    for (const std::string& form : forms) {
        if (fits(form))
            return form;
    }
    return forms.back();
}

// text + after, the text cut at its end (with "...") as little as makes the whole fit.
std::string CutToFit(const std::string& text, const std::string& after,
                     const CEraseProgressDialog::LineFits& fits)
{
    const std::wstring wide = ToWide(text);
    for (size_t length = wide.size(); length > 0; --length) {
        std::string line = ToUtf8(wide.substr(0, length - 1)) + "..." + after;
        if (fits(line))
            return line;
    }
    return "..." + after;
}

// The work an item's preview counted: its files and registry entries, and its bytes.
struct Work {
    double entries = 0;
    double bytes = 0;
};

Work WorkOf(const EraseTally& tally)
{
    return {static_cast<double>(tally.filesErased) + tally.registryEntriesErased,
            static_cast<double>(tally.bytesReleased)};
}

// Writing this many bytes of a free-space wipe takes about as long as erasing one file.
constexpr double kWipeBytesPerEntry = 64 * 1024;

// What a preview counted, with the free space a wipe overwrites as its bytes, whose progress the wipe
// tells as bytes handled.
Work WorkOf(const ItemPreview& preview)
{
    Work work = WorkOf(preview.tally);
    work.bytes += static_cast<double>(preview.freeSpace);
    return work;
}

// How long an item takes beside the others, in files erased.
double WeightOf(const ItemPreview& preview)
{
    return 1 + WorkOf(preview.tally).entries + static_cast<double>(preview.freeSpace) / kWipeBytesPerEntry;
}

// How much of an item's counted work is done, 0 to 1: the share of its entries, and of its bytes when it
// counted some, evenly.
double ShareDone(const Work& counted, const Work& done)
{
    double sum = 0;
    int parts = 0;
    if (counted.entries > 0) {
        sum += std::min(1.0, done.entries / counted.entries);
        ++parts;
    }
    if (counted.bytes > 0) {
        sum += std::min(1.0, done.bytes / counted.bytes);
        ++parts;
    }
    return parts ? sum / parts : 0;
}

} // namespace

int CEraseProgressDialog::BarPosition(const std::vector<std::optional<ItemPreview>>& previews, int done,
                                      const EraseTally& current)
{
    double total = 0;
    double reached = 0;
    for (size_t row = 0; row < previews.size(); ++row) {
        const Work counted = previews[row] ? WorkOf(*previews[row]) : Work{};
        const double weight = previews[row] ? WeightOf(*previews[row]) : 1;
        total += weight;
        if (static_cast<int>(row) < done)
            reached += weight;
        else if (static_cast<int>(row) == done)
            reached += weight * ShareDone(counted, WorkOf(current));
    }
    return total > 0 ? static_cast<int>(kBarSteps * reached / total) : 0;
}

std::vector<std::string> CEraseProgressDialog::FittedLines(Phase phase, const std::string& status,
                                                           const EraseTally& tally, const LineFits& fits)
{
    const unsigned long long files = tally.filesErased;
    const unsigned long long keys = tally.registryEntriesErased;
    if (phase == Phase::Nothing)
        return {FirstThatFits({"Status: " + status, status}, fits),
                FirstThatFits(
                    {"Tick the items to erase in the main window.", "Tick items in the main window."}, fits)};
    // The size stands after the status, which is cut last of all.
    std::vector<std::string> first;
    std::string size;
    std::vector<std::string> second;
    if (phase == Phase::Running || phase == Phase::Finished) {
        const std::vector<std::string> known = StatusLines(status, tally);
        size = ";  Released: " + SizeText(tally.bytesReleased);
        first = {known[0], "Status: " + status + size, status + size};
        second = {known[1], "Files: " + GroupedNumber(files) + ", Registry Keys: " + GroupedNumber(keys),
                  "Files: " + GroupedNumber(files) + ", Keys: " + GroupedNumber(keys)};
    } else {
        const std::vector<std::string> known = PreviewLines(status, tally);
        size = ";  To Release: " + SizeText(tally.bytesReleased);
        first = {known[0], status + size};
        second = {known[1], "Files: " + GroupedNumber(files) + ", Registry Keys: " + GroupedNumber(keys),
                  "Files: " + GroupedNumber(files) + ", Keys: " + GroupedNumber(keys)};
    }
    std::string line = FirstThatFits(first, fits);
    if (!fits(line))
        line = CutToFit(status, size, fits);
    return {line, FirstThatFits(second, fits)};
}

BEGIN_MESSAGE_MAP(CEraseProgressDialog, CSkinDialog)
    ON_MESSAGE(WM_PAINT, OnPaint)
    ON_MESSAGE(WM_SETCURSOR, OnSetCursor)
    ON_MESSAGE(EraseWorker::kPreviewed, OnPreviewed)
    ON_MESSAGE(EraseWorker::kProgress, OnProgress)
    ON_MESSAGE(EraseWorker::kItemDone, OnItemDone)
    ON_MESSAGE(EraseWorker::kFinished, OnFinished)
    ON_COMMAND(IDC_START_ERASE, OnErase)
    ON_COMMAND(IDC_SHOW_FILES, OnShowFiles)
    ON_CONTROL(LBN_SELCHANGE, IDC_CHECK_LIST, OnRowSelected)
    ON_CONTROL(LBN_DBLCLK, IDC_CHECK_LIST, OnShowFiles)
    ON_COMMAND(IDOK, OnCancelButton)
    ON_COMMAND(IDCANCEL, OnEscape)
END_MESSAGE_MAP()

CEraseProgressDialog::CEraseProgressDialog() : CSkinDialog(IDD_ERASE_PROGRESS, IDB_PROGRESS_BACKGROUND) {}

// Stops a preview still counting before anything it reports to is gone.
CEraseProgressDialog::~CEraseProgressDialog()
{
    worker_.reset();
}

std::vector<std::string> CEraseProgressDialog::StatusLines(const std::string& status, const EraseTally& tally)
{
    return {"Status: " + status + ";  Released HD Space: " + SizeText(tally.bytesReleased) + "; ",
            "Files Erased: " + GroupedNumber(tally.filesErased) +
                ", Registry Keys Erased: " + GroupedNumber(tally.registryEntriesErased)};
}

std::vector<std::string> CEraseProgressDialog::PreviewLines(const std::string& status,
                                                            const EraseTally& tally)
{
    std::string counts =
        Format("Files to Erase: %s, Registry Keys to Erase: %s", GroupedNumber(tally.filesErased).c_str(),
               GroupedNumber(tally.registryEntriesErased).c_str());
    if (tally.cookiesErased)
        counts += ", Cookies: " + GroupedNumber(tally.cookiesErased);
    return {Format("Status: %s;  To Release: %s", status.c_str(), SizeText(tally.bytesReleased).c_str()),
            counts};
}

std::string CEraseProgressDialog::OutcomeStatus(unsigned failures)
{
    if (failures == 0)
        return "Success";
    return Format("Finished with %u failure%s", failures, failures == 1 ? "" : "s");
}

bool CEraseProgressDialog::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SetWindowTextW(GetHwnd(), ToWide(kTitle).c_str());
    if (!list_.Create(WindowDpi().Scale(kListRect), GetHwnd(), IDC_CHECK_LIST, IDB_PROGRESS_CHECK_DONE,
                      IDB_PROGRESS_CHECK_PENDING, IDB_PROGRESS_CHECK_PENDING, kWhite)) {
        EndDialog(IDCANCEL);
        return false;
    }
    ListItems();
    list_.SetToggleEnabled(false);
    AttachButton(showFiles_, IDC_SHOW_FILES, "What the selected item would remove (or double-click it)");
    AttachButton(erase_, IDC_START_ERASE, "Start Erase Now");
    AttachButton(cancel_, IDOK, "Cancel");
    AttachItem(IDC_PROGRESS_BAR, bar_);
    bar_.SetColours(kBarGround, kSkinFocusColour, kBarMiddle);
    bar_.SetRange(0, kBarSteps);
    PlaceControls();
    PlaceOverOwner();
    list_.SetCurSel(0);
    // Enter erases; the buttons are owner-drawn, so the dialog is told which one is the default.
    SendMessageW(GetHwnd(), DM_SETDEFID, IDC_START_ERASE, 0);
    worker_ = std::make_unique<EraseWorker>(GetHwnd(), setup, *hooks);
    if (selectedCount_ == 0) {
        phase_ = Phase::Nothing;
        status_ = "Nothing is selected";
        EnableWindow(erase_.GetHwnd(), FALSE);
        SetFocus(cancel_.GetHwnd());
        return false;
    }
    status_ = "Counting...";
    worker_->StartPreview(selectedCount_);
    SetFocus(erase_.GetHwnd());
    return false;
}

// The rows are added under the run's own filter in the run's order, so the run's n-th item is row n - 1.
void CEraseProgressDialog::ListItems()
{
    RunSelection selection(setup.configPath, setup.policies.ForcedTicks());
    EraseItemList items(setup.pluginFolder, setup.windowsVersion, selection, setup.pluginCache);
    names_.clear();
    heads_.clear();
    warnings_.clear();
    for (const EraseItem* item : ItemsToErase(items, selection)) {
        names_.push_back(item->descript);
        heads_.push_back(ItemExplanation(*item));
        warnings_.push_back(item->warning);
    }
    selectedCount_ = static_cast<int>(names_.size());
    previews_.assign(names_.size(), std::nullopt);
    tally_ = {};
    ShowRows();
}

void CEraseProgressDialog::ShowRows()
{
    list_.ResetContent();
    COLORREF highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    for (size_t row = 0; row < names_.size(); ++row) {
        // The tooltip holds the whole explanation, which the panel under the list may have to cut.
        if (CheckListItem* added = list_.AddItem(names_[row], nullptr, 0, static_cast<int>(row), kBlack,
                                                 highlightText, highlight))
            added->warning = heads_[row] + (warnings_[row].empty() ? "" : "\n" + warnings_[row]);
    }
    RedrawWindow(list_.GetHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CEraseProgressDialog::AttachButton(CSkinButton& button, int id, const char* tip)
{
    AttachItem(id, button);
    button.SetToolTipText(tip);
}

// Every place and size for the window's DPI.
void CEraseProgressDialog::PlaceControls()
{
    SizeToBackground();
    Place(list_.GetHwnd(), WindowDpi().Scale(kListRect));
    PlaceSkinButton(showFiles_, kPushButtonSkin, WindowDpi(), kShowFilesLeft, kButtonTop);
    PlaceSkinButton(erase_, kPushButtonSkin, WindowDpi(), kEraseLeft, kButtonTop);
    PlaceSkinButton(cancel_, kPushButtonSkin, WindowDpi(), kCancelLeft, kButtonTop);
    Place(bar_.GetHwnd(), WindowDpi().Scale(kBarRect));
    font_ = CreateSkinFont(WindowDpi().Scale(kFontHeight));
    explanationFont_ = CreateSkinFont(WindowDpi().Scale(kExplanationFontHeight));
}

// Exactly over the main window, which has the same size: the user's eyes stay where they were.
void CEraseProgressDialog::PlaceOverOwner()
{
    HWND owner = GetWindow(GetHwnd(), GW_OWNER);
    RECT place{};
    if (owner && IsWindowVisible(owner) && !IsIconic(owner) && GetWindowRect(owner, &place))
        SetWindowPos(GetHwnd(), nullptr, place.left, place.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// After a change of DPI the list's own look follows as well.
void CEraseProgressDialog::Layout()
{
    PlaceControls();
    list_.ApplyDpi(WindowDpi());
}

LRESULT CEraseProgressDialog::OnPaint(WPARAM, LPARAM)
{
    PaintDC paint(GetHwnd());
    PaintStatus(paint.get());
    PaintExplanation(paint.get());
    return 0;
}

int CEraseProgressDialog::StatusWidth() const
{
    return WindowDpi().Scale(kStatusRight) - WindowDpi().Scale(kStatusLeft);
}

void CEraseProgressDialog::PaintStatus(HDC dc) const
{
    SelectedObject font(dc, font_.get());
    const int width = StatusWidth();
    auto fits = [&](const std::string& line) {
        std::wstring text = ToWide(line);
        SIZE size{};
        return GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size) &&
               size.cx <= width;
    };
    const bool running = phase_ == Phase::Running || phase_ == Phase::Finished;
    const std::vector<std::string> lines =
        FittedLines(phase_, status_, running ? tally_ : PreviewTotal(), fits);
    const POINT first = WindowDpi().Scale(POINT{kStatusLeft, kStatusTop});
    DrawTextLines(dc, {font_.get(), kBlack, first, WindowDpi().Scale(kLineStep), first.x + width}, lines);
}

std::string CEraseProgressDialog::Explanation() const
{
    const int row = list_.GetCurSel();
    if (row < 0 || static_cast<size_t>(row) >= heads_.size())
        return {};
    return heads_[row] + (warnings_[row].empty() ? "" : "\n" + warnings_[row]);
}

// The description wraps over the panel's lines; the warning keeps the last line, in red.
void CEraseProgressDialog::PaintExplanation(HDC dc) const
{
    const Dpi& dpi = WindowDpi();
    GdiObject<HBRUSH> frame(CreateSolidBrush(kFrameColour));
    const RECT separator = dpi.Scale(kSeparator);
    FillRect(dc, &separator, frame.get());
    const int row = list_.GetCurSel();
    if (row < 0 || static_cast<size_t>(row) >= heads_.size())
        return;
    SelectedObject font(dc, explanationFont_.get());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, kBlack);
    RECT area = dpi.Scale(kExplanationRect);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const std::wstring warning = ToWide(warnings_[row]);
    RECT head = area;
    if (!warning.empty())
        head.bottom -= metrics.tmHeight;
    // Whole lines only, so that the warning's line stays clear.
    head.bottom = head.top + (head.bottom - head.top) / metrics.tmHeight * metrics.tmHeight;
    std::wstring text = ToWide(heads_[row]);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &head,
              DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS | DT_NOPREFIX);
    if (!warning.empty()) {
        RECT line{area.left, head.bottom, area.right, head.bottom + metrics.tmHeight};
        SetTextColor(dc, kWarningColour);
        DrawTextW(dc, warning.c_str(), static_cast<int>(warning.size()), &line,
                  DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

void CEraseProgressDialog::OnRowSelected()
{
    const RECT area = WindowDpi().Scale(kExplanationRect);
    InvalidateRect(GetHwnd(), &area, TRUE);
    explanation_.Place(GetHwnd(), area);
    explanation_.SetText(Explanation());
}

// Counted rows only: before its count a row has nothing to list.
void CEraseProgressDialog::OnShowFiles()
{
    const int row = list_.GetCurSel();
    if (phase_ == Phase::Running || phase_ == Phase::Finished || row < 0 ||
        static_cast<size_t>(row) >= previews_.size() || !previews_[row]) {
        MessageBeep(MB_OK);
        return;
    }
    showFiles(GetHwnd(), names_[row], *previews_[row]);
}

void CEraseProgressDialog::ShowFiles(HWND owner, const std::string& name, const ItemPreview& preview)
{
    CItemFilesDialog dialog(name, preview);
    dialog.DoModal(owner);
}

LRESULT CEraseProgressDialog::OnSetCursor(WPARAM, LPARAM)
{
    if (phase_ != Phase::Running)
        return Default();
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return TRUE;
}

EraseTally CEraseProgressDialog::PreviewTotal() const
{
    EraseTally total;
    for (const std::optional<ItemPreview>& preview : previews_) {
        if (preview)
            AddTally(total, preview->tally);
    }
    return total;
}

LRESULT CEraseProgressDialog::OnPreviewed(WPARAM row, LPARAM)
{
    if (phase_ != Phase::Counting || row >= previews_.size())
        return 0;
    previews_[row] = worker_->Preview(static_cast<int>(row));
    // The count stands at the row's right end, whole however long the name.
    list_.SetItemDetail(static_cast<int>(row), PreviewText(*previews_[row]));
    SetStatus(Format("Counting %u of %d...", static_cast<unsigned>(row) + 1, selectedCount_));
    return 0;
}

void CEraseProgressDialog::SetStatus(std::string status)
{
    status_ = std::move(status);
    InvalidateStatus();
}

void CEraseProgressDialog::InvalidateStatus() const
{
    const RECT area = WindowDpi().Scale(kStatusArea);
    InvalidateRect(GetHwnd(), &area, TRUE);
}

void CEraseProgressDialog::OnErase()
{
    if (phase_ == Phase::Counting || phase_ == Phase::Ready)
        StartRun();
    else if (phase_ == Phase::Running)
        RequestStop();
}

// During a run Escape and the close box ask first: a stray key must not end it.
void CEraseProgressDialog::OnEscape()
{
    if (phase_ != Phase::Running) {
        Leave(IDCANCEL);
        return;
    }
    if (!stopping_ && askToStop(GetHwnd()))
        RequestStop();
}

bool CEraseProgressDialog::AskToStop(HWND owner)
{
    return MessageBoxW(owner, L"Stop erasing? What was erased stays erased.", L"Vestrel",
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

// The run ends after the entry being erased and tells its end as usual.
void CEraseProgressDialog::RequestStop()
{
    if (phase_ != Phase::Running || stopping_)
        return;
    stopping_ = true;
    worker_->StopRun();
    EnableWindow(erase_.GetHwnd(), FALSE);
    SetStatus("Stopping...");
}

// Before and after counting the user may leave; once the run has started it goes to its end or is stopped.
void CEraseProgressDialog::Leave(int result)
{
    if (phase_ == Phase::Running || phase_ == Phase::Finished)
        return;
    worker_->StopPreview();
    EndDialog(result);
}

void CEraseProgressDialog::StartRun()
{
    worker_->StopPreview();
    phase_ = Phase::Running;
    busy_.emplace();
    HideToolTips();
    // Erase becomes Stop, which keeps the focus; Show Files and Cancel have nothing to do now.
    SetWindowTextW(erase_.GetHwnd(), L"&Stop");
    erase_.SetToolTipText("Stop after the file being erased; what was erased stays erased");
    SetFocus(erase_.GetHwnd());
    EnableWindow(showFiles_.GetHwnd(), FALSE);
    EnableWindow(cancel_.GetHwnd(), FALSE);
    bar_.SetPos(0);
    bar_.ShowPercent(false);
    waitCursor_.emplace();
    tally_ = {};
    SetStatus("Erasing...");
    worker_->StartRun();
}

LRESULT CEraseProgressDialog::OnProgress(WPARAM, LPARAM)
{
    if (phase_ != Phase::Running)
        return 0;
    EraseWorker::Progress progress = worker_->CurrentProgress();
    tally_ = progress.tally;
    bar_.SetPos(BarPosition(previews_, progress.done, progress.current));
    // Between an item's end and the next one's start the status says how many are done; a notice posted
    // before the item ended may arrive after its end was told.
    if (progress.started > progress.done && progress.started != shownItem_) {
        shownItem_ = progress.started;
        SetStatus("Erasing " + progress.item);
    } else {
        InvalidateStatus();
    }
    return 0;
}

// Sent by the run, which waits: the row is ticked before the item's chime and pause.
LRESULT CEraseProgressDialog::OnItemDone(WPARAM doneCount, LPARAM)
{
    int done = static_cast<int>(doneCount);
    bar_.SetPos(BarPosition(previews_, done, {}));
    list_.SetCheck(done - 1, 1);
    EraseWorker::Progress progress = worker_->CurrentProgress();
    tally_ = progress.tally;
    // The last pause shows how the run ended.
    if (stopping_)
        SetStatus("Stopped");
    else if (done >= progress.total)
        SetStatus(OutcomeStatus(progress.left.Total()));
    else
        SetStatus(Format("%d of %d done", done, progress.total));
    RedrawWindow(GetHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return 0;
}

LRESULT CEraseProgressDialog::OnFinished(WPARAM which, LPARAM)
{
    if (which == EraseWorker::kRunEnded && phase_ == Phase::Running) {
        FinishRun();
    } else if (which == EraseWorker::kPreviewEnded && phase_ == Phase::Counting) {
        worker_->Join();
        phase_ = Phase::Ready;
        SetStatus("Ready");
        OfferToClosePrograms();
    }
    return 0;
}

std::string CEraseProgressDialog::NamesText(const std::vector<std::string>& names)
{
    std::string text;
    for (size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
}

bool CEraseProgressDialog::AskToClosePrograms(HWND owner, const std::vector<std::string>& programs)
{
    const bool one = programs.size() == 1;
    const std::string names = NamesText(programs);
    const std::string text =
        names +
        (one ? " is running: its items will be skipped.\n\nClose " + names + " now? Vestrel asks its "
             : " are running: their items will be skipped.\n\nClose them now? Vestrel asks their ") +
        "windows to close, as you would, and waits up to 15 seconds. Save your work there first.";
    return MessageBoxW(owner, ToWide(text).c_str(), L"Vestrel", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// Counts again once the programs have closed or the wait is over: the rows of items whose program still
// runs then say why.
void CEraseProgressDialog::OfferToClosePrograms()
{
    const std::vector<std::string> running = worker_->RunningPrograms();
    if (closeOffered_ || running.empty())
        return;
    closeOffered_ = true;
    if (!askToClose(GetHwnd(), running))
        return;
    phase_ = Phase::Counting;
    previews_.assign(previews_.size(), std::nullopt);
    for (int row = 0; row < selectedCount_; ++row)
        list_.SetItemDetail(row, "");
    SetStatus("Closing " + NamesText(running) + "...");
    worker_->StartClosingPrograms(selectedCount_);
}

void CEraseProgressDialog::FinishRun()
{
    worker_->Join();
    EraseWorker::Outcome outcome = worker_->RunOutcome();
    waitCursor_.reset();
    if (outcome.failed) {
        // Nothing is stored; the busy flag goes back.
        busy_.reset();
        EndDialog(IDCANCEL);
        return;
    }
    phase_ = Phase::Finished;
    tally_ = outcome.tally;
    SetStatus(outcome.stopped ? "Stopped" : OutcomeStatus(outcome.left.Total()));
    // The rows after the one it stopped in were never begun.
    for (int row = selectedCount_ - outcome.notReached; row < selectedCount_; ++row)
        list_.SetItemDetail(row, "not reached");
    AddRunToStoredStatistics(tally_, setup.clock(), setup.settingsKey);
    busy_.reset();
    EndDialog(IDOK);
    DiscardQueuedInput();
    ShowResult(outcome);
}

void CEraseProgressDialog::ShowResult(const EraseWorker::Outcome& outcome)
{
    // Owned by the main window, which ending this dialog has enabled again: the result keeps it disabled.
    CEraseResultDialog result;
    result.tally = tally_;
    result.lastErasedText = ProcessStatistics().lastErasedText;
    result.left = outcome.left;
    result.leftEntries = outcome.leftEntries;
    result.stopped = outcome.stopped;
    result.notReached = outcome.notReached;
    result.DoModal(GetWindow(GetHwnd(), GW_OWNER));
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

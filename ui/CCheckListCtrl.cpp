#include "ui/CCheckListCtrl.h"

#include "framework/Utf8.h"
#include "ui/HighContrast.h"
#include "ui/SkinDrawing.h"

#include <algorithm>

namespace {

constexpr int kFontHeight = 14;
constexpr int kViewInset = 2;
constexpr int kCellPadding = 6;
constexpr int kExtentPadding = 5;
constexpr int kMargin = 5;
constexpr UINT kClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
const std::string kClassPrefix = "VestrelCheckList";

// One class per background colour, since the class brush paints the margins and the space below the rows.
std::string ClassFor(COLORREF backColour)
{
    return kClassPrefix + std::to_string(backColour);
}

bool RegisterListClass(const std::string& className, COLORREF backColour)
{
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), ToWide(className).c_str(), &existing))
        return true;
    GdiObject<HBRUSH> background(CreateSolidBrush(backColour));
    if (!Window::RegisterWindowClass(className, kClassStyle, LoadCursorW(nullptr, IDC_ARROW),
                                     background.get()))
        return false;
    background.release(); // the class owns it from now on
    return true;
}

void Report(HWND parent, const char* text)
{
    MessageBoxW(parent, ToWide(text).c_str(), L"Vestrel", MB_OK | MB_ICONWARNING);
}

RECT Inset(const RECT& rect, int by)
{
    return RECT{rect.left + by, rect.top + by, rect.right - by, rect.bottom - by};
}

} // namespace

BEGIN_MESSAGE_MAP(CCheckListCtrl, Window)
    ON_MESSAGE(WM_SIZE, OnSize)
    ON_MESSAGE(WM_PAINT, OnPaint)
    ON_MESSAGE(WM_UPDATEUISTATE, OnUpdateUiState)
END_MESSAGE_MAP()

CCheckListCtrl::~CCheckListCtrl()
{
    // The view goes with the frame while both objects are still whole.
    if (GetHwnd())
        DestroyWindow(GetHwnd());
}

bool CCheckListCtrl::Create(const RECT& rect, HWND parent, UINT id, UINT checkId, UINT uncheckId,
                            UINT middleId, COLORREF backColour, HFONT font)
{
    const std::string className = ClassFor(backColour);
    const Dpi dpi = Dpi::ForWindow(parent);
    if (GetHwnd() || !RegisterListClass(className, backColour) ||
        !LoadBoxes(parent, checkId, uncheckId, middleId, dpi))
        return false;
    // The view inside takes the keyboard focus, so dialog navigation must look into the frame.
    if (!Window::Create(className, "CLISTBOX", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect, parent, id))
        return false;
    SetWindowLongW(GetHwnd(), GWL_EXSTYLE, GetWindowLongW(GetHwnd(), GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    pen_.reset(CreatePen(PS_SOLID, 1, backColour));
    brush_.reset(CreateSolidBrush(backColour));
    look_.pen = pen_.get();
    look_.brush = brush_.get();
    ApplyLook(font, dpi);

    if (!view_.Create(className, ViewRect(), GetHwnd(), id + 1)) {
        DestroyWindow(GetHwnd());
        return false;
    }
    return true;
}

bool CCheckListCtrl::LoadBoxes(HWND parent, UINT checkId, UINT uncheckId, UINT middleId, const Dpi& dpi)
{
    check_ = LoadSkinBitmap(checkId, dpi);
    if (!check_) {
        Report(parent, "Unable to load CHECK bitmap.");
        return false;
    }
    uncheck_ = LoadSkinBitmap(uncheckId, dpi);
    if (!uncheck_) {
        Report(parent, "Unable to load UNCHECK bitmap.");
        return false;
    }
    middle_ = LoadSkinBitmap(middleId, dpi);
    if (!middle_) {
        Report(parent, "Unable to load MIDDLE Check bitmap.");
        return false;
    }
    SIZE size = BitmapSize(check_.get());
    SIZE uncheckSize = BitmapSize(uncheck_.get());
    SIZE middleSize = BitmapSize(middle_.get());
    if (size.cx != uncheckSize.cx || size.cx != middleSize.cx || size.cy != uncheckSize.cy ||
        size.cy != middleSize.cy) {
        Report(parent, "Images must be the same size!");
        return false;
    }
    look_.check = check_.get();
    look_.uncheck = uncheck_.get();
    look_.middle = middle_.get();
    look_.box = size;
    look_.cellWidth = size.cx + dpi.Scale(kCellPadding);
    look_.cellHeight = size.cy + dpi.Scale(kCellPadding);
    look_.rowHeight = look_.cellHeight;
    boxIds_[0] = checkId;
    boxIds_[1] = uncheckId;
    boxIds_[2] = middleId;
    return true;
}

// A font of the owner's stays; the list's own one is made for the DPI.
void CCheckListCtrl::ApplyLook(HFONT font, const Dpi& dpi)
{
    if (!font) {
        ownFont_ = CreateSkinFont(dpi.Scale(kFontHeight));
        font = ownFont_.get();
    }
    look_.font = font;
    look_.margin = dpi.Scale(kMargin);
    look_.inset = dpi.Scale(kViewInset);
    MeasureFont();
}

HWND CCheckListCtrl::ViewUnder(HWND parent, POINT screen)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT area{};
        wchar_t name[64] = {};
        if (!IsWindowVisible(child) || !GetWindowRect(child, &area) || !PtInRect(&area, screen) ||
            !GetClassNameW(child, name, 64) || ToUtf8(name).rfind(kClassPrefix, 0) != 0)
            continue;
        if (HWND view = FindWindowExW(child, nullptr, name, nullptr))
            return view;
    }
    return nullptr;
}

void CCheckListCtrl::ApplyDpi(const Dpi& dpi)
{
    if (!GetHwnd() || !LoadBoxes(GetParent(GetHwnd()), boxIds_[0], boxIds_[1], boxIds_[2], dpi))
        return;
    ApplyLook(ownFont_ ? nullptr : look_.font, dpi);
    for (CheckListItem* item : tree_.Rows())
        MeasureText(*item);
    tree_.RemeasureExtent();
    OnSize(0, 0);
    view_.UpdateScrollBars();
    view_.RepaintNow();
}

void CCheckListCtrl::PaintFrame(HDC dc, const RECT& client, bool focused) const
{
    const bool contrast = HighContrastOn();
    FillRect(dc, &client, contrast ? SystemBrush(COLOR_WINDOW) : look_.brush);
    if (focused && contrast) {
        RECT edge = client;
        for (int step = 0; step < look_.inset; ++step, InflateRect(&edge, -1, -1))
            FrameRect(dc, &edge, SystemBrush(COLOR_WINDOWTEXT));
    } else if (focused) {
        DrawFocusFrame(dc, client, look_.inset);
    }
    if (IsFilterShown()) {
        // The line that sets the filter field apart from the rows.
        const RECT view = ViewRect();
        RECT line{view.left, view.top - 1, view.right, view.top};
        GdiObject<HBRUSH> skin(CreateSolidBrush(contrast ? GetSysColor(COLOR_WINDOWTEXT) : kSkinFocusColour));
        FillRect(dc, &line, skin.get());
    }
}

// A font taller than the boxes makes the rows taller.
void CCheckListCtrl::MeasureFont()
{
    WindowDC dc(GetHwnd());
    SelectedObject selected(dc.get(), look_.font);
    TEXTMETRICW metrics{};
    if (GetTextMetricsW(dc.get(), &metrics))
        look_.rowHeight = std::max<int>(look_.rowHeight, metrics.tmHeight + metrics.tmDescent);
}

int CCheckListCtrl::TextWidth(const std::string& text) const
{
    std::wstring wide = ToWide(text);
    WindowDC dc(GetHwnd());
    SelectedObject selected(dc.get(), look_.font);
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &size);
    return size.cx;
}

void CCheckListCtrl::MeasureText(CheckListItem& item) const
{
    item.textWidth = TextWidth(item.text);
    item.detailWidth = item.detail.empty() ? 0 : TextWidth(item.detail);
    item.extent = item.textWidth + item.level * look_.cellWidth + kExtentPadding;
}

CheckListItem* CCheckListCtrl::AddItem(const std::string& text, CheckListItem* parent, int state, int data,
                                       COLORREF textColour, COLORREF selectedTextColour,
                                       COLORREF selectedBackColour)
{
    if (state < CheckListItem::Unchecked || state > CheckListItem::Middle || !GetHwnd())
        return nullptr;
    if (parent && tree_.IndexOf(parent) < 0)
        return nullptr;
    auto item = std::make_unique<CheckListItem>();
    item->parent = parent;
    item->state = state;
    item->level = parent ? parent->level + 1 : 1;
    item->data = data;
    item->text = text;
    item->textColour = textColour;
    item->selectedTextColour = selectedTextColour;
    item->selectedBackColour = selectedBackColour;

    MeasureText(*item);

    CheckListItem& added = tree_.Add(std::move(item));
    view_.UpdateScrollBars();
    return &added;
}

void CCheckListCtrl::SetName(const std::string& name)
{
    SetWindowTextW(GetHwnd(), ToWide(name).c_str());
    SetWindowTextW(view_.GetHwnd(), ToWide(name).c_str());
}

void CCheckListCtrl::ResetContent()
{
    if (IsFilterShown())
        HideFilter();
    view_.ClearSelection();
    tree_.Clear();
    view_.UpdateScrollBars();
    view_.RepaintNow();
}

int CCheckListCtrl::GetCount(const CheckListItem* item) const
{
    return item ? static_cast<int>(item->children.size()) : tree_.Count();
}

int CCheckListCtrl::GetItemText(int index, std::string& text) const
{
    CheckListItem* item = ValidRow(index);
    if (!item)
        return -1;
    text = item->text;
    return 0;
}

int CCheckListCtrl::SetItemDetail(int index, const std::string& detail)
{
    CheckListItem* item = ValidRow(index);
    if (!item)
        return -1;
    item->detail = detail;
    MeasureText(*item);
    view_.RedrawRow(index);
    return 0;
}

std::string CCheckListCtrl::GetItemDetail(int index) const
{
    CheckListItem* item = ValidRow(index);
    return item ? item->detail : std::string();
}

int CCheckListCtrl::GetCheck(int index) const
{
    CheckListItem* item = ValidRow(index);
    return item ? item->state : -1;
}

bool CCheckListCtrl::IsLocked(int index) const
{
    CheckListItem* item = ValidRow(index);
    return item && item->locked;
}

int CCheckListCtrl::SetCheck(int index, int state)
{
    CheckListItem* item = ValidRow(index);
    if (!item || state < CheckListItem::Unchecked || state > CheckListItem::Middle)
        return -1;
    item->state = state;
    view_.RedrawRow(index);
    for (CheckListItem* ancestor : CheckListTree::UpdateAncestors(*item))
        view_.RedrawRow(tree_.IndexOf(ancestor));
    view_.StateChanged(*item);
    return 0;
}

void CCheckListCtrl::UpdateParentStates()
{
    tree_.UpdateAllParents();
    view_.RepaintNow();
}

int CCheckListCtrl::GetItemData(int index) const
{
    CheckListItem* item = ValidRow(index);
    return item ? item->data : -1;
}

int CCheckListCtrl::SetItemData(int index, int data)
{
    CheckListItem* item = ValidRow(index);
    if (!item)
        return -1;
    item->data = data;
    return 0;
}

CheckListItem* CCheckListCtrl::FindItemByData(int data) const
{
    return tree_.FindByData(data);
}

int CCheckListCtrl::SetCurSel(int index)
{
    if (IsBadIndex(index))
        return -1;
    if (index == -1) {
        view_.ClearSelection();
        return 0;
    }
    return view_.Select(index);
}

bool CCheckListCtrl::IsFolded(int index) const
{
    CheckListItem* item = ValidRow(index);
    return item && item->folded;
}

int CCheckListCtrl::SetFolded(int index, bool folded)
{
    CheckListItem* item = ValidRow(index);
    if (!item || !item->foldable)
        return -1;
    tree_.SetFolded(*item, folded);
    view_.RowsChanged();
    return 0;
}

void CCheckListCtrl::ShowFilter()
{
    if (!filter_.GetHwnd()) {
        if (!filter_.Create(GetHwnd(), GetDlgCtrlID(GetHwnd()) + 2, look_.font))
            return;
        filter_.onChange = [this] { ApplyFilter(); };
        filter_.onKey = [this](UINT key) { OnFilterKey(key); };
    }
    ShowWindow(filter_.GetHwnd(), SW_SHOW);
    OnSize(0, 0);
    SetFocus(filter_.GetHwnd());
}

void CCheckListCtrl::HideFilter()
{
    if (!IsFilterShown())
        return;
    const bool typing = GetFocus() == filter_.GetHwnd();
    ShowWindow(filter_.GetHwnd(), SW_HIDE);
    SetWindowTextW(filter_.GetHwnd(), L""); // ends the filter
    OnSize(0, 0);
    if (typing)
        SetFocus(view_.GetHwnd());
}

bool CCheckListCtrl::IsFilterShown() const
{
    return filter_.GetHwnd() && IsWindowVisible(filter_.GetHwnd());
}

void CCheckListCtrl::SetFilterText(const std::string& text)
{
    ShowFilter();
    SetWindowTextW(filter_.GetHwnd(), ToWide(text).c_str());
}

// A field emptied by the user has done its work.
void CCheckListCtrl::ApplyFilter()
{
    const std::string text = filter_.Text();
    tree_.SetFilter(text);
    view_.RowsChanged();
    if (text.empty() && IsFilterShown() && GetFocus() == filter_.GetHwnd())
        HideFilter();
}

void CCheckListCtrl::OnFilterKey(UINT key)
{
    if (key == VK_ESCAPE)
        HideFilter();
    else
        SetFocus(view_.GetHwnd());
}

void CCheckListCtrl::Notify(WORD code) const
{
    HWND frame = GetHwnd();
    SendMessageW(GetParent(frame), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(frame), code),
                 reinterpret_cast<LPARAM>(frame));
}

void CCheckListCtrl::OnSelectionChanged()
{
    Notify(LBN_SELCHANGE);
}

void CCheckListCtrl::OnRowDoubleClicked()
{
    Notify(LBN_DBLCLK);
}

// The frame draws the focus around the view.
void CCheckListCtrl::OnFocusChanged(bool)
{
    InvalidateRect(GetHwnd(), nullptr, FALSE);
}

void CCheckListCtrl::OnFilterAsked()
{
    ShowFilter();
}

RECT CCheckListCtrl::ViewRect() const
{
    RECT client{};
    GetClientRect(GetHwnd(), &client);
    RECT view = Inset(client, look_.inset);
    if (IsFilterShown())
        view.top += look_.rowHeight + 1; // the field and a line under it
    return view;
}

LRESULT CCheckListCtrl::OnSize(WPARAM, LPARAM)
{
    const RECT view = ViewRect();
    if (view_.GetHwnd())
        MoveWindow(view_.GetHwnd(), view.left, view.top, view.right - view.left, view.bottom - view.top,
                   TRUE);
    if (IsFilterShown()) {
        const int left = view.left + look_.margin;
        MoveWindow(filter_.GetHwnd(), left, view.top - look_.rowHeight - 1, view.right - left,
                   look_.rowHeight, TRUE);
    }
    InvalidateRect(GetHwnd(), nullptr, FALSE);
    return 0;
}

LRESULT CCheckListCtrl::OnPaint(WPARAM, LPARAM)
{
    PaintDC paint(GetHwnd());
    RECT client{};
    GetClientRect(GetHwnd(), &client);
    const HWND view = view_.GetHwnd();
    // High contrast shows the focus whatever the cues say.
    PaintFrame(paint.get(), client, view && GetFocus() == view && (HighContrastOn() || ShowsFocusCues(view)));
    return 0;
}

// Focus cues turned on or off somewhere in the dialog: the margin may change.
LRESULT CCheckListCtrl::OnUpdateUiState(WPARAM, LPARAM)
{
    LRESULT result = Default();
    InvalidateRect(GetHwnd(), nullptr, FALSE);
    return result;
}

bool CCheckListCtrl::IsBadIndex(int index) const
{
    return index < -1 || index > tree_.Count() - 1 || !view_.GetHwnd();
}

CheckListItem* CCheckListCtrl::ValidRow(int index) const
{
    return IsBadIndex(index) ? nullptr : tree_.At(index);
}

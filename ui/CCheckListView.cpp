#include "ui/CCheckListView.h"

#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "ui/CheckListTree.h"
#include "ui/CheckListViewListener.h"
#include "ui/HighContrast.h"
#include "ui/SkinDrawing.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace {

// Letters typed within this time add up to one name.
constexpr unsigned long long kTypeAheadMs = 1000;

} // namespace

BEGIN_MESSAGE_MAP(CCheckListView, Window)
    ON_MESSAGE(WM_PAINT, OnPaint)
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
    ON_MESSAGE(WM_ERASEBKGND, OnEraseBackground)
    ON_MESSAGE(WM_SIZE, OnSize)
    ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
    ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
    ON_MESSAGE(WM_LBUTTONDBLCLK, OnLButtonDoubleClick)
    ON_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
    ON_MESSAGE(WM_MOUSEWHEEL, OnMouseWheel)
    ON_MESSAGE(WM_VSCROLL, OnVScroll)
    ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
    ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
    ON_MESSAGE(WM_CHAR, OnChar)
    ON_MESSAGE(WM_SETFOCUS, OnSetFocus)
    ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
    ON_MESSAGE(WM_DESTROY, OnDestroy)
END_MESSAGE_MAP()

CCheckListView::~CCheckListView()
{
    if (accessible_)
        accessible_->Disconnect();
}

bool CCheckListView::Create(const std::string& className, const RECT& rect, HWND frame, UINT id)
{
    if (!Window::Create(className, "Check Control", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, frame, id))
        return false;
    Layout();
    if (tip_.Create(GetHwnd(), ""))
        SendMessageW(tip_.GetHwnd(), TTM_SETMAXTIPWIDTH, 0, Dpi::ForWindow(frame).Scale(320));
    return true;
}

int CCheckListView::SelectedIndex() const
{
    return selected_ ? tree_.IndexOf(selected_) : -1;
}

void CCheckListView::Paint(HDC dc, const RECT& client) const
{
    const auto& look = look_;
    const bool contrast = HighContrastOn();
    GdiObject<HPEN> windowPen(contrast ? CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOW)) : nullptr);
    SelectedObject font(dc, look.font);
    SelectedObject pen(dc, contrast ? windowPen.get() : look.pen);
    SelectedObject brush(dc, contrast ? SystemBrush(COLOR_WINDOW) : look.brush);
    MemoryDC boxes(CreateCompatibleDC(dc));
    const auto& tree = tree_;
    const int count = tree.ShownCount();
    // One row more than fit: the partly visible one below the last whole row.
    for (int position = top_, displayRow = 0; position < count && displayRow <= perPage_;
         ++position, ++displayRow)
        DrawRow(dc, boxes.get(), *tree.ShownAt(position), displayRow, client.right);
}

int CCheckListView::Select(int index)
{
    CheckListItem* item = tree_.At(index);
    if (!item)
        return -1;
    MarkSelected(*item);
    RedrawRow(index);
    return 0;
}

void CCheckListView::ClearSelection()
{
    if (selected_)
        selected_->selected = false;
    selected_ = nullptr;
}

RECT CCheckListView::RowRect(const CheckListItem& item) const
{
    if (item.position < top_ || item.position > top_ + perPage_)
        return RECT{};
    const int rowTop = RowTop(item.position - top_);
    RECT row{client_.left, rowTop, client_.right, std::min<LONG>(rowTop + look_.rowHeight, client_.bottom)};
    return IsRectEmpty(&row) ? RECT{} : row;
}

CheckListItem* CCheckListView::RowUnder(POINT client) const
{
    return tree_.ShownAt(RowAt(client.y));
}

void CCheckListView::ToggleRow(CheckListItem& item)
{
    if (toggleEnabled_)
        Toggle(item);
}

void CCheckListView::Announce(DWORD event, const CheckListItem* item) const
{
    if (GetHwnd())
        NotifyWinEvent(event, GetHwnd(), OBJID_CLIENT, item ? item->id : CHILDID_SELF);
}

void CCheckListView::AnnounceStates(const CheckListItem& item) const
{
    for (const CheckListItem* row = item.parent; row; row = row->parent) {
        if (row->position >= 0)
            Announce(EVENT_OBJECT_STATECHANGE, row);
    }
    AnnounceShownStates(item);
}

void CCheckListView::AnnounceShownStates(const CheckListItem& item) const
{
    if (item.position < 0)
        return;
    Announce(EVENT_OBJECT_STATECHANGE, &item);
    for (const auto& child : item.children)
        AnnounceShownStates(*child);
}

void CCheckListView::RedrawRow(int index) const
{
    const CheckListItem* item = tree_.At(index);
    const int position = item ? item->position : -1;
    if (!GetHwnd() || position < 0 || position < top_ || position > top_ + perPage_)
        return;
    int rowTop = RowTop(position - top_);
    RECT row{client_.left, rowTop, client_.right, rowTop + look_.rowHeight};
    InvalidateRect(GetHwnd(), &row, FALSE);
}

// Only the vertical bar ever shows; a name too wide for the view ends in an ellipsis instead.
void CCheckListView::UpdateScrollBars()
{
    if (!GetHwnd())
        return;
    const int count = tree_.ShownCount();
    SetBar(perPage_ < count, count, top_);
    Layout();
}

void CCheckListView::RepaintNow() const
{
    if (GetHwnd())
        RedrawWindow(GetHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CCheckListView::RowsChanged()
{
    auto& tree = tree_;
    tree.ShownCount();
    // A selected row folded away hands the selection to the row above it that shows.
    for (CheckListItem* row = selected_; row && selected_->position < 0; row = row->parent) {
        if (row->position >= 0)
            MarkSelected(*row);
    }
    const int top = std::clamp(top_, 0, LastTop());
    if (top != top_) {
        top_ = top;
        SetScrollPos(GetHwnd(), SB_VERT, top_, TRUE);
    }
    HideTip();
    UpdateScrollBars();
    RepaintNow();
    Announce(EVENT_OBJECT_REORDER, nullptr);
}

void CCheckListView::Fold(CheckListItem& item, bool folded)
{
    if (!item.foldable || item.folded == folded || tree_.IsFiltered())
        return;
    tree_.SetFolded(item, folded);
    RowsChanged();
    Announce(EVENT_OBJECT_STATECHANGE, &item);
}

LRESULT CCheckListView::OnPaint(WPARAM, LPARAM)
{
    PaintDC paint(GetHwnd());
    if (paint.get())
        Paint(paint.get(), client_);
    return 0;
}

LRESULT CCheckListView::OnPrintClient(WPARAM wParam, LPARAM)
{
    Paint(reinterpret_cast<HDC>(wParam), client_);
    return 0;
}

// The space below the rows, in the list's colour or the system's window colour.
LRESULT CCheckListView::OnEraseBackground(WPARAM wParam, LPARAM)
{
    RECT client{};
    GetClientRect(GetHwnd(), &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client,
             HighContrastOn() ? SystemBrush(COLOR_WINDOW) : look_.brush);
    return TRUE;
}

LRESULT CCheckListView::OnSize(WPARAM, LPARAM)
{
    Layout();
    UpdateScrollBars();
    return 0;
}

LRESULT CCheckListView::OnLButtonDown(WPARAM wParam, LPARAM lParam)
{
    tip_.Relay(GetHwnd(), WM_LBUTTONDOWN, wParam, lParam);
    SetFocus(GetHwnd());
    Click(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    return 0;
}

LRESULT CCheckListView::OnLButtonUp(WPARAM wParam, LPARAM lParam)
{
    tip_.Relay(GetHwnd(), WM_LBUTTONUP, wParam, lParam);
    return Default();
}

LRESULT CCheckListView::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    UpdateTip(GET_Y_LPARAM(lParam));
    tip_.Relay(GetHwnd(), WM_MOUSEMOVE, wParam, lParam);
    return Default();
}

// Whole rows as the system's wheel setting asks, a page for its page setting; finer wheels add up.
LRESULT CCheckListView::OnMouseWheel(WPARAM wParam, LPARAM)
{
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const int perNotch = lines == WHEEL_PAGESCROLL ? std::max(perPage_ - 1, 1) : static_cast<int>(lines);
    if (perNotch <= 0)
        return 0;
    wheelDelta_ += GET_WHEEL_DELTA_WPARAM(wParam);
    const int rows = wheelDelta_ * perNotch / WHEEL_DELTA;
    if (rows == 0)
        return 0;
    wheelDelta_ -= rows * WHEEL_DELTA / perNotch;
    ScrollRowsTo(std::clamp(top_ - rows, 0, LastTop()));
    return 0;
}

LRESULT CCheckListView::OnVScroll(WPARAM wParam, LPARAM)
{
    ScrollRowsTo(NextTop(LOWORD(wParam), HIWORD(wParam)));
    return 0;
}

LRESULT CCheckListView::OnGetDlgCode(WPARAM, LPARAM)
{
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

LRESULT CCheckListView::OnKeyDown(WPARAM key, LPARAM lParam)
{
    // Keys mean the keyboard is in use, so the focus must show.
    SendMessageW(GetHwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    if (key == VK_SPACE) {
        // Bit 30 marks auto-repeat: holding the space bar toggles once.
        if (selected_ && toggleEnabled_ && !(lParam & (1 << 30)))
            Toggle(*selected_);
        return 0;
    }
    if (key == 'F' && GetKeyState(VK_CONTROL) < 0) {
        listener_.OnFilterAsked();
        return 0;
    }
    if (OnFoldKey(static_cast<UINT>(key)))
        return 0;
    const int target = KeyTarget(static_cast<UINT>(key));
    if (target < 0)
        return Default();
    SelectShown(*tree_.ShownAt(target));
    return 0;
}

// As in a tree view: Left folds an open row, else goes to the row above it; Right unfolds a folded row,
// else goes to its first row below.
bool CCheckListView::OnFoldKey(UINT key)
{
    if ((key != VK_LEFT && key != VK_RIGHT) || !selected_)
        return false;
    CheckListItem& item = *selected_;
    const bool filtered = tree_.IsFiltered();
    if (key == VK_LEFT && item.foldable && !item.folded && !filtered)
        Fold(item, true);
    else if (key == VK_LEFT && item.parent && item.parent->position >= 0)
        SelectShown(*item.parent);
    else if (key == VK_RIGHT && item.foldable && item.folded && !filtered)
        Fold(item, false);
    else if (key == VK_RIGHT && !item.children.empty() && item.children.front()->position >= 0)
        SelectShown(*item.children.front());
    return true;
}

void CCheckListView::SelectShown(CheckListItem& item)
{
    ScrollIntoView(item.position);
    Select(tree_.IndexOf(&item));
}

// Typed letters select the next row, in index order and round to the first, whose name starts with
// them; the same letter again goes on to the next row that starts with it. A folded row above the one
// found unfolds.
LRESULT CCheckListView::OnChar(WPARAM code, LPARAM)
{
    if (code <= L' ')
        return Default();
    const unsigned long long now = GetTickCount64();
    if (now - typedAt_ > kTypeAheadMs)
        typed_.clear();
    typedAt_ = now;
    typed_ += static_cast<wchar_t>(code);
    const bool sameLetter = typed_.find_first_not_of(typed_[0]) == std::wstring::npos;
    const std::string prefix = CheckListTree::LowerText(ToUtf8(sameLetter ? typed_.substr(0, 1) : typed_));
    auto& tree = tree_;
    const int count = tree.Count();
    const int current = SelectedIndex();
    // A name typed on may still be the selected row's; a first or repeated letter moves on.
    const int first = sameLetter ? current + 1 : std::max(current, 0);
    for (int step = 0; step < count; ++step) {
        CheckListItem& row = *tree.At((first + step) % count);
        if (row.filteredOut || !CheckListTree::LowerText(row.text).starts_with(prefix))
            continue;
        if (!tree.IsFiltered() && row.position < 0) {
            tree.Reveal(row);
            RowsChanged();
        }
        SelectShown(row);
        return 0;
    }
    return 0;
}

// The frame draws the focus around the view. A list taking the focus with no row selected selects the
// first row in view, so that the keys show where they act.
LRESULT CCheckListView::OnSetFocus(WPARAM, LPARAM)
{
    if (!selected_ && tree_.ShownAt(top_))
        Select(tree_.IndexOf(tree_.ShownAt(top_)));
    else if (selected_ && selected_->position >= 0)
        Announce(EVENT_OBJECT_FOCUS, selected_);
    listener_.OnFocusChanged(true);
    return Default();
}

LRESULT CCheckListView::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    if (!WindowAccessible::AsksForClient(lParam))
        return Default();
    if (!accessible_)
        accessible_.reset(new CheckListAccessible(*this));
    return accessible_->Answer(wParam);
}

// Readers may hold the object longer than the window lives.
LRESULT CCheckListView::OnDestroy(WPARAM, LPARAM)
{
    if (accessible_)
        accessible_->Disconnect();
    accessible_.reset();
    return Default();
}

LRESULT CCheckListView::OnKillFocus(WPARAM, LPARAM)
{
    listener_.OnFocusChanged(false);
    return Default();
}

void CCheckListView::Layout()
{
    GetClientRect(GetHwnd(), &client_);
    int rowHeight = look_.rowHeight;
    perPage_ = rowHeight > 0 ? (client_.bottom - client_.top) / rowHeight : 0;
}

// The thumb is as long as the page is a share of the rows; positions run from 0 to count - page.
void CCheckListView::SetBar(bool show, int count, int position)
{
    const bool shown = (GetWindowLongW(GetHwnd(), GWL_STYLE) & WS_VSCROLL) != 0;
    if (show) {
        SCROLLINFO current{sizeof(current), SIF_ALL, 0, 0, 0, 0, 0};
        if (!shown || !GetScrollInfo(GetHwnd(), SB_VERT, &current) || current.nMin != 0 ||
            current.nMax != count - 1 || current.nPage != static_cast<UINT>(perPage_) ||
            current.nPos != position) {
            SCROLLINFO info{sizeof(info), SIF_ALL, 0, count - 1, static_cast<UINT>(perPage_), position, 0};
            SetScrollInfo(GetHwnd(), SB_VERT, &info, TRUE);
        }
        if (!shown)
            ShowScrollBar(GetHwnd(), SB_VERT, TRUE);
    } else if (shown) {
        ShowScrollBar(GetHwnd(), SB_VERT, FALSE);
    }
}

// The row under a point, counted from the first row's top, below the margin, as the rows are drawn;
// -1 above the first row.
int CCheckListView::RowAt(int y) const
{
    const auto& look = look_;
    if (y < look.margin || look.rowHeight <= 0)
        return -1;
    return (y - look.margin) / look.rowHeight + top_;
}

void CCheckListView::Click(POINT point)
{
    const auto& look = look_;
    const int position = RowAt(point.y);
    CheckListItem* item = tree_.ShownAt(position);
    if (!item)
        return;
    // The partly visible bottom row comes fully into view first.
    if (position >= top_ + perPage_)
        ScrollRowsTo(top_ + 1);
    MarkSelected(*item);
    if (OnGlyph(*item, point)) {
        Fold(*item, !item->folded);
        return;
    }

    int rowTop = RowTop(position - top_);
    int boxLeft = BoxLeft(*item);
    bool onBox = point.x >= boxLeft && point.x < boxLeft + look.cellWidth && point.y >= rowTop &&
                 point.y < rowTop + look.cellHeight;
    if (onBox && toggleEnabled_)
        Toggle(*item);
    else
        RedrawRow(tree_.IndexOf(item));
}

// The glyph's cell is the one left of the box, the whole row high.
bool CCheckListView::OnGlyph(const CheckListItem& item, POINT point) const
{
    const int boxLeft = BoxLeft(item);
    return item.foldable && !tree_.IsFiltered() && point.x >= boxLeft - look_.cellWidth && point.x < boxLeft;
}

void CCheckListView::MarkSelected(CheckListItem& item)
{
    if (selected_ && selected_ != &item) {
        selected_->selected = false;
        RedrawRow(tree_.IndexOf(selected_));
    }
    item.selected = true;
    if (selected_ != &item) {
        selected_ = &item;
        listener_.OnSelectionChanged();
        Announce(EVENT_OBJECT_SELECTION, &item);
        if (HasFocus())
            Announce(EVENT_OBJECT_FOCUS, &item);
    }
}

LRESULT CCheckListView::OnLButtonDoubleClick(WPARAM, LPARAM lParam)
{
    if (tree_.At(RowAt(GET_Y_LPARAM(lParam))))
        listener_.OnRowDoubleClicked();
    return 0;
}

// A locked row stays as it is. The rows below follow, the rows above are worked out again, and the whole
// page is repainted at once.
void CCheckListView::Toggle(CheckListItem& item)
{
    if (item.locked)
        return;
    const int state = CheckListTree::ToggledState(item);
    item.state = state;
    modified_ = true;
    CheckListTree::SetDescendants(item, state);
    // A locked row below may hold the row itself partly ticked: worked out from its children, then upwards.
    CheckListTree::UpdateAncestors(item.children.empty() ? item : *item.children.front());
    UpdateScrollBars();
    RepaintNow();
    AnnounceStates(item);
}

// Up and down a shown row, Page Up and Page Down a page less one row, Home and End to the ends; -1 for any
// other key. With nothing shown selected, moving down starts at the first row.
int CCheckListView::KeyTarget(UINT key) const
{
    const int count = tree_.ShownCount();
    const int current = SelectedPosition();
    const int page = std::max(perPage_ - 1, 1);
    int target = 0;
    switch (key) {
    case VK_UP:
        target = current - 1;
        break;
    case VK_DOWN:
        target = current + 1;
        break;
    case VK_PRIOR:
        target = current - page;
        break;
    case VK_NEXT:
        target = current < 0 ? page : current + page;
        break;
    case VK_HOME:
        target = 0;
        break;
    case VK_END:
        target = count - 1;
        break;
    default:
        return -1;
    }
    return count == 0 ? -1 : std::clamp(target, 0, count - 1);
}

int CCheckListView::SelectedPosition() const
{
    return selected_ ? selected_->position : -1;
}

void CCheckListView::ScrollIntoView(int position)
{
    if (position < 0)
        return;
    if (position < top_)
        ScrollRowsTo(position);
    else if (position >= top_ + perPage_)
        ScrollRowsTo(std::clamp(position - perPage_ + 1, 0, LastTop()));
}

int CCheckListView::LastTop() const
{
    return std::max(tree_.ShownCount() - perPage_, 0);
}

void CCheckListView::ScrollRowsTo(int top)
{
    int change = top - top_;
    if (change == 0)
        return;
    top_ = top;
    HideTip(); // its row moved away from under it
    SetScrollPos(GetHwnd(), SB_VERT, top_, TRUE);
    // The margin above the first row stays put, so no piece of a row is left in it.
    RECT rows = client_;
    rows.top = look_.margin;
    ScrollWindow(GetHwnd(), 0, -change * look_.rowHeight, &rows, &rows);
}

// Rows: line steps of one, page steps that keep one row of the old page in view.
int CCheckListView::NextTop(int request, int thumb) const
{
    const int count = tree_.ShownCount();
    const int page = perPage_;
    int top = top_;
    switch (request) {
    case SB_LINEUP:
        if (top_ > 0)
            top = top_ - 1;
        break;
    case SB_LINEDOWN:
        if (top_ < count - page)
            top = top_ + 1;
        break;
    case SB_PAGEUP:
        if (top_ > 0)
            top = top_ < page ? 0 : top_ - (page - 1);
        break;
    case SB_PAGEDOWN:
        if (top_ + page != count)
            top = count - page - top_ < page ? count - page : top_ + (page - 1);
        break;
    case SB_THUMBTRACK:
        top = thumb;
        break;
    default:
        break;
    }
    return std::max(top, 0);
}

// A row's tooltip follows the row under the mouse.
void CCheckListView::UpdateTip(int y)
{
    const int index = RowAt(y);
    if (index == tipRow_)
        return;
    tipRow_ = index;
    const CheckListItem* item = tree_.ShownAt(index);
    SendMessageW(tip_.GetHwnd(), TTM_POP, 0, 0);
    tip_.SetText(item ? TipText(*item) : std::string());
}

// The next mouse move shows the tooltip of the row then under it.
void CCheckListView::HideTip()
{
    tipRow_ = -1;
    if (tip_.GetHwnd())
        SendMessageW(tip_.GetHwnd(), TTM_POP, 0, 0);
}

std::string CCheckListView::TipText(const CheckListItem& item) const
{
    const bool cut = BoxLeft(item) + look_.cellWidth + item.textWidth > NameRight(item, client_.right);
    std::string tip = cut ? item.text : std::string();
    for (const std::string* line : {&item.description, &item.warning}) {
        if (!line->empty())
            tip += (tip.empty() ? "" : "\n") + *line;
    }
    return tip;
}

void CCheckListView::DrawRow(HDC dc, HDC boxes, const CheckListItem& item, int displayRow, int width) const
{
    const auto& look = look_;
    const int rowTop = RowTop(displayRow);
    Rectangle(dc, 0, rowTop, width, rowTop + look.rowHeight);

    const int boxLeft = BoxLeft(item);
    const int boxTop =
        rowTop + (look.rowHeight > look.cellHeight ? (look.rowHeight - look.cellHeight) / 2 : 0);
    const bool contrast = HighContrastOn();
    const RECT boxRect{boxLeft, boxTop, boxLeft + look.box.cx, boxTop + look.box.cy};
    if (contrast) {
        DrawPlainBox(dc, item, boxRect);
    } else {
        HBITMAP box = item.state == CheckListItem::Checked  ? look.check
                      : item.state == CheckListItem::Middle ? look.middle
                                                            : look.uncheck;
        SelectedObject selected(boxes, box);
        BitBlt(dc, boxLeft, boxTop, look.box.cx, look.box.cy, boxes, 0, 0, SRCCOPY);
    }
    if (item.locked && !contrast)
        FadeToWhite(dc, boxRect);
    if (item.foldable && !tree_.IsFiltered())
        DrawGlyph(dc, item, boxTop);

    // A cut name keeps the margin's width clear of the edge and the scroll bar, and of the detail.
    RECT area{boxLeft + look.cellWidth, rowTop, NameRight(item, width), rowTop + look.rowHeight};
    std::wstring text = ToWide(item.text);
    const COLORREF ink = contrast ? GetSysColor(COLOR_WINDOWTEXT) : item.textColour;
    COLORREF oldColour = SetTextColor(dc, item.locked ? GetSysColor(COLOR_GRAYTEXT) : ink);
    if (item.selected)
        DrawSelection(dc, item, text, area, width);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    // Kept to the top of the row, as DT_VCENTER without DT_SINGLELINE would; too long, it ends in "...".
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_SINGLELINE | DT_TOP | DT_END_ELLIPSIS | DT_NOPREFIX);
    if (!item.detail.empty()) {
        SetTextColor(dc, ink);
        std::wstring detail = ToWide(item.detail);
        RECT detailArea{area.right, rowTop, width - look.margin, rowTop + look.rowHeight};
        DrawTextW(dc, detail.c_str(), static_cast<int>(detail.size()), &detailArea,
                  DT_SINGLELINE | DT_TOP | DT_RIGHT | DT_NOPREFIX);
    }
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColour);
}

// Where the row's name must end: before the margin, and before the detail with a gap of half a cell.
int CCheckListView::NameRight(const CheckListItem& item, int width) const
{
    const auto& look = look_;
    const int right = width - look.margin;
    return item.detail.empty()
               ? right
               : std::max(BoxLeft(item) + look.cellWidth, right - item.detailWidth - look.cellWidth / 2);
}

// A small square in the skin's colour left of the box, with a plus while the rows below are folded away
// and a minus while they show.
void CCheckListView::DrawGlyph(HDC dc, const CheckListItem& item, int boxTop) const
{
    const auto& look = look_;
    const int size = (look.box.cx * 9 / 13) | 1; // odd, so that the sign has a middle
    const int left = BoxLeft(item) - look.cellWidth + (look.cellWidth - size) / 2;
    const int top = boxTop + (look.box.cy - size) / 2;
    const int middle = size / 2;
    GdiObject<HBRUSH> skin(
        CreateSolidBrush(HighContrastOn() ? GetSysColor(COLOR_WINDOWTEXT) : kSkinFocusColour));
    RECT square{left, top, left + size, top + size};
    FrameRect(dc, &square, skin.get());
    RECT across{left + 2, top + middle, left + size - 2, top + middle + 1};
    FillRect(dc, &across, skin.get());
    if (item.folded) {
        RECT down{left + middle, top + 2, left + middle + 1, top + size - 2};
        FillRect(dc, &down, skin.get());
    }
}

// A focus rectangle around the text, a little wider than it, filled with the row's highlight colour.
void CCheckListView::DrawSelection(HDC dc, const CheckListItem& item, const std::wstring& text, RECT area,
                                   int width) const
{
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_CALCRECT | DT_VCENTER);
    if (area.right > width)
        area.right = width - 4;
    area.right += 5;
    area.left -= 4;
    RECT inside{area.left + 1, area.top + 1, area.right - 1, area.bottom - 1};
    if (HighContrastOn()) {
        // A solid frame: the dotted one mixes colours of its own.
        FrameRect(dc, &area, SystemBrush(COLOR_WINDOWTEXT));
        FillRect(dc, &inside, SystemBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        return;
    }
    SetTextColor(dc, RGB(0, 0, 0));
    DrawFocusRect(dc, &area);
    GdiObject<HBRUSH> highlight(CreateSolidBrush(item.selectedBackColour));
    FillRect(dc, &inside, highlight.get());
    SetTextColor(dc, item.selectedTextColour);
}

// The box without its bitmaps, in the text colour (greyed for a locked row): a square, a tick inside it
// when checked, a smaller filled square when partly checked.
void CCheckListView::DrawPlainBox(HDC dc, const CheckListItem& item, const RECT& box) const
{
    HBRUSH ink = SystemBrush(item.locked ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
    RECT square = box;
    InflateRect(&square, -1, -1);
    FrameRect(dc, &square, ink);
    const int size = square.right - square.left;
    if (item.state == CheckListItem::Middle) {
        RECT inner = square;
        InflateRect(&inner, -size / 4, -size / 4);
        FillRect(dc, &inner, ink);
    } else if (item.state == CheckListItem::Checked) {
        // Two strokes, two pixels thick: down to the lowest point, then up to the right.
        const int left = square.left + size / 5;
        const int low = square.top + size * 3 / 4;
        const int turn = square.left + size * 2 / 5;
        const int right = square.right - size / 5;
        for (int x = left; x < right; ++x) {
            const int y =
                x < turn ? low - (turn - x) : low - (x - turn) * (low - square.top - 2) / (right - turn);
            RECT stroke{x, y - 1, x + 1, y + 1};
            FillRect(dc, &stroke, ink);
        }
    }
}

int CCheckListView::RowTop(int displayRow) const
{
    return look_.rowHeight * displayRow + look_.margin;
}

int CCheckListView::BoxLeft(const CheckListItem& item) const
{
    return (item.level - 1) * look_.cellWidth + look_.margin;
}

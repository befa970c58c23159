#include "ui/CCheckListView.h"

#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "ui/CCheckListCtrl.h"

#include <windowsx.h>

#include <algorithm>

namespace {

constexpr int kLineStep = 10; // pixels per horizontal line step

} // namespace

BEGIN_MESSAGE_MAP(CCheckListView, Window)
    ON_MESSAGE(WM_PAINT, OnPaint)
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
    ON_MESSAGE(WM_SIZE, OnSize)
    ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
    ON_MESSAGE(WM_VSCROLL, OnVScroll)
    ON_MESSAGE(WM_HSCROLL, OnHScroll)
END_MESSAGE_MAP()

bool CCheckListView::Create(const std::string& className, const RECT& rect, HWND frame, UINT id)
{
    if (!Window::Create(className, "Check Control", WS_CHILD | WS_VISIBLE, rect, frame, id))
        return false;
    Layout();
    return true;
}

int CCheckListView::SelectedIndex() const
{
    return selected_ ? frame_.tree_.IndexOf(selected_) : -1;
}

void CCheckListView::Paint(HDC dc, const RECT& client) const
{
    const auto& look = frame_.look_;
    SelectedObject font(dc, look.font);
    SelectedObject pen(dc, look.pen);
    SelectedObject brush(dc, look.brush);
    MemoryDC boxes(CreateCompatibleDC(dc));
    const auto& rows = frame_.tree_.Rows();
    const int count = static_cast<int>(rows.size());
    // One row more than fit: the partly visible one below the last whole row.
    for (int index = top_, displayRow = 0; index < count && displayRow <= perPage_; ++index, ++displayRow)
        DrawRow(dc, boxes.get(), *rows[index], displayRow, client.right);
}

int CCheckListView::Select(int index)
{
    CheckListItem* item = frame_.tree_.At(index);
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

void CCheckListView::RedrawRow(int index) const
{
    if (!GetHwnd() || index < top_ || index > top_ + perPage_)
        return;
    int rowTop = RowTop(index - top_);
    RECT row{client_.left, rowTop, client_.right, rowTop + frame_.look_.rowHeight};
    InvalidateRect(GetHwnd(), &row, FALSE);
}

// Showing or hiding one bar changes the client area and so perhaps the need for the other; the nested
// WM_SIZE only records the new size, and this loop settles both bars.
void CCheckListView::UpdateScrollBars()
{
    if (!GetHwnd() || updatingBars_)
        return;
    updatingBars_ = true;
    for (int pass = 0; pass < 3; ++pass) {
        RECT before = client_;
        ApplyScrollBars();
        Layout();
        if (EqualRect(&before, &client_))
            break;
    }
    updatingBars_ = false;
}

void CCheckListView::RepaintNow() const
{
    if (GetHwnd())
        RedrawWindow(GetHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
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

LRESULT CCheckListView::OnSize(WPARAM, LPARAM)
{
    Layout();
    UpdateScrollBars();
    return 0;
}

LRESULT CCheckListView::OnLButtonDown(WPARAM, LPARAM lParam)
{
    Click(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    return 0;
}

LRESULT CCheckListView::OnVScroll(WPARAM wParam, LPARAM)
{
    ScrollRowsTo(NextTop(LOWORD(wParam), HIWORD(wParam)));
    return 0;
}

LRESULT CCheckListView::OnHScroll(WPARAM wParam, LPARAM)
{
    ScrollColumnsTo(NextOffsetX(LOWORD(wParam), HIWORD(wParam)));
    return 0;
}

void CCheckListView::Layout()
{
    GetClientRect(GetHwnd(), &client_);
    int rowHeight = frame_.look_.rowHeight;
    perPage_ = rowHeight > 0 ? (client_.bottom - client_.top) / rowHeight : 0;
}

void CCheckListView::ApplyScrollBars()
{
    const int count = frame_.tree_.Count();
    SetBar(SB_VERT, perPage_ < count, count - perPage_, top_);
    const int width = client_.right - client_.left;
    const int maxExtent = frame_.tree_.MaxExtent();
    SetBar(SB_HORZ, width < maxExtent, maxExtent - width, offsetX_);
}

// Showing or hiding a bar reframes the window and setting it redraws it, so only a change does either.
void CCheckListView::SetBar(int bar, bool show, int maximum, int position)
{
    const bool shown =
        (GetWindowLongW(GetHwnd(), GWL_STYLE) & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
    if (show) {
        SCROLLINFO current{sizeof(current), SIF_RANGE | SIF_POS, 0, 0, 0, 0, 0};
        if (!shown || !GetScrollInfo(GetHwnd(), bar, &current) || current.nMin != 0 ||
            current.nMax != maximum || current.nPos != position) {
            SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_POS, 0, maximum, 0, position, 0};
            SetScrollInfo(GetHwnd(), bar, &info, TRUE);
        }
        if (!shown)
            ShowScrollBar(GetHwnd(), bar, TRUE);
    } else if (shown) {
        ShowScrollBar(GetHwnd(), bar, FALSE);
    }
}

// The row under a press is counted from the first row's top, 5 pixels down, as the rows are drawn.
void CCheckListView::Click(POINT point)
{
    const auto& look = frame_.look_;
    if (point.y < kTopMargin || look.rowHeight <= 0)
        return;
    int index = (point.y - kTopMargin) / look.rowHeight + top_;
    CheckListItem* item = frame_.tree_.At(index);
    if (!item)
        return;
    // The partly visible bottom row comes fully into view first.
    if (index >= top_ + perPage_)
        ScrollRowsTo(top_ + 1);
    MarkSelected(*item);

    int rowTop = RowTop(index - top_);
    int boxLeft = BoxLeft(*item);
    bool onBox = point.x >= boxLeft && point.x < boxLeft + look.cellWidth && point.y >= rowTop &&
                 point.y < rowTop + look.cellHeight;
    if (onBox && toggleEnabled_)
        Toggle(*item);
    else
        RedrawRow(index);
}

void CCheckListView::MarkSelected(CheckListItem& item)
{
    if (selected_ && selected_ != &item) {
        selected_->selected = false;
        RedrawRow(frame_.tree_.IndexOf(selected_));
    }
    item.selected = true;
    selected_ = &item;
}

// Unchecked becomes checked; checked and middle become unchecked. The rows below follow, the rows above
// are worked out again, and the whole page is repainted at once.
void CCheckListView::Toggle(CheckListItem& item)
{
    int state = item.state == CheckListItem::Unchecked ? CheckListItem::Checked : CheckListItem::Unchecked;
    item.state = state;
    modified_ = true;
    CheckListTree::SetDescendants(item, state);
    CheckListTree::UpdateAncestors(item);
    UpdateScrollBars();
    RepaintNow();
}

void CCheckListView::ScrollRowsTo(int top)
{
    int change = top - top_;
    if (change == 0)
        return;
    top_ = top;
    SetScrollPos(GetHwnd(), SB_VERT, top_, TRUE);
    // The margin above the first row stays put, so no piece of a row is left in it.
    RECT rows = client_;
    rows.top = kTopMargin;
    ScrollWindow(GetHwnd(), 0, -change * frame_.look_.rowHeight, &rows, &rows);
}

void CCheckListView::ScrollColumnsTo(int offsetX)
{
    int change = offsetX - offsetX_;
    if (change == 0)
        return;
    offsetX_ = offsetX;
    SetScrollPos(GetHwnd(), SB_HORZ, offsetX_, TRUE);
    ScrollWindow(GetHwnd(), -change, 0, nullptr, nullptr);
}

// Rows: line steps of one, page steps that keep one row of the old page in view.
int CCheckListView::NextTop(int request, int thumb) const
{
    const int count = frame_.tree_.Count();
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

// Pixels: line steps of 10, page steps of one width less a pixel. A line step right may pass the end of
// the range by up to 9 pixels.
int CCheckListView::NextOffsetX(int request, int thumb) const
{
    const int width = client_.right - client_.left;
    const int range = frame_.tree_.MaxExtent() - width;
    int offsetX = offsetX_;
    switch (request) {
    case SB_LINELEFT:
        if (offsetX_ > 0)
            offsetX = offsetX_ - kLineStep;
        break;
    case SB_LINERIGHT:
        if (offsetX_ < range)
            offsetX = offsetX_ + kLineStep;
        break;
    case SB_PAGELEFT:
        if (offsetX_ > 0)
            offsetX = offsetX_ < width ? 0 : offsetX_ - (width - 1);
        break;
    case SB_PAGERIGHT:
        offsetX = range - offsetX_ < width ? range : offsetX_ + (width - 1);
        break;
    case SB_THUMBTRACK:
        offsetX = thumb;
        break;
    default:
        break;
    }
    return std::max(offsetX, 0);
}

void CCheckListView::DrawRow(HDC dc, HDC boxes, const CheckListItem& item, int displayRow, int width) const
{
    const auto& look = frame_.look_;
    const int rowTop = RowTop(displayRow);
    Rectangle(dc, -offsetX_, rowTop, width, rowTop + look.rowHeight);

    const int boxLeft = BoxLeft(item);
    const int boxTop =
        rowTop + (look.rowHeight > look.cellHeight ? (look.rowHeight - look.cellHeight) / 2 : 0);
    HBITMAP box = item.state == CheckListItem::Checked  ? look.check
                  : item.state == CheckListItem::Middle ? look.middle
                                                        : look.uncheck;
    {
        SelectedObject selected(boxes, box);
        BitBlt(dc, boxLeft, boxTop, look.box.cx, look.box.cy, boxes, 0, 0, SRCCOPY);
    }

    RECT area{boxLeft + look.cellWidth, rowTop, width, rowTop + look.rowHeight};
    std::wstring text = ToWide(item.text);
    COLORREF oldColour = SetTextColor(dc, item.textColour);
    if (item.selected)
        DrawSelection(dc, item, text, area, width);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    // Without DT_SINGLELINE the text keeps to the top of the row.
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_VCENTER);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColour);
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
    SetTextColor(dc, RGB(0, 0, 0));
    DrawFocusRect(dc, &area);
    RECT inside{area.left + 1, area.top + 1, area.right - 1, area.bottom - 1};
    GdiObject<HBRUSH> highlight(CreateSolidBrush(item.selectedBackColour));
    FillRect(dc, &inside, highlight.get());
    SetTextColor(dc, item.selectedTextColour);
}

int CCheckListView::RowTop(int displayRow) const
{
    return frame_.look_.rowHeight * displayRow + kTopMargin;
}

int CCheckListView::BoxLeft(const CheckListItem& item) const
{
    return -offsetX_ + (item.level - 1) * frame_.look_.cellWidth + 5;
}

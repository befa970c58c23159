#pragma once

#include "framework/Window.h"
#include "ui/CToolTip.h"

#include <string>

class CCheckListCtrl;
struct CheckListItem;

// The inner window of a check list: paints the rows from the top row on, scrolls by rows, and takes the
// clicks and keys that select rows and toggle their boxes. A toggle sets the modified flag, which the owner
// reads and clears; a new selection and a double click are told to the owner as a list box tells them
// (LBN_SELCHANGE, LBN_DBLCLK). A name too long for the view ends in an ellipsis and
// shows whole in the row's tooltip, with the row's warning if it has one.
class CCheckListView : public Window {
public:
    explicit CCheckListView(CCheckListCtrl& frame) : frame_(frame) {}

    bool Create(const std::string& className, const RECT& rect, HWND frame, UINT id);

    bool IsModified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    // A list whose toggling is off only selects on a click (the erase progress list).
    bool IsToggleEnabled() const { return toggleEnabled_; }
    void SetToggleEnabled(bool enabled) { toggleEnabled_ = enabled; }

    int TopRow() const { return top_; }
    // Whole rows that fit; a partly visible row below them is not counted.
    int RowsPerPage() const { return perPage_; }
    // -1 when nothing is selected.
    int SelectedIndex() const;
    // What the tooltip shows over a row: its whole name when the view cuts it, then its warning.
    std::string TipText(const CheckListItem& item) const;

    // Draws the rows from the top row on into a client area of this size, the partly visible last one too.
    void Paint(HDC dc, const RECT& client) const;

    // For the frame.
    int Select(int index);
    void ClearSelection();
    // Invalidates a row if it is drawn on the page.
    void RedrawRow(int index) const;
    void UpdateScrollBars();
    void RepaintNow() const;

private:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnPrintClient(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnLButtonDoubleClick(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnMouseWheel(WPARAM, LPARAM);
    LRESULT OnVScroll(WPARAM, LPARAM);
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM, LPARAM);
    LRESULT OnFocusChange(WPARAM, LPARAM);

    void Layout();
    void SetBar(bool show, int count, int position);
    int RowAt(int y) const;
    void Click(POINT point);
    void MarkSelected(CheckListItem& item);
    void Toggle(CheckListItem& item);
    int KeyTarget(UINT key) const;
    void ScrollIntoView(int index);
    int LastTop() const;
    void ScrollRowsTo(int top);
    int NextTop(int request, int thumb) const;
    void UpdateTip(int y);

    int NameRight(const CheckListItem& item, int width) const;
    void DrawRow(HDC dc, HDC boxes, const CheckListItem& item, int displayRow, int width) const;
    void DrawSelection(HDC dc, const CheckListItem& item, const std::wstring& text, RECT area,
                       int width) const;
    int RowTop(int displayRow) const;
    int BoxLeft(const CheckListItem& item) const;

    CCheckListCtrl& frame_;
    int top_ = 0;
    int perPage_ = 0;
    RECT client_{};
    CheckListItem* selected_ = nullptr;
    bool modified_ = false;
    bool toggleEnabled_ = true;
    int wheelDelta_ = 0; // what the wheel turned that did not yet make a whole row
    int tipRow_ = -1;
    CToolTip tip_;

    DECLARE_MESSAGE_MAP()
};

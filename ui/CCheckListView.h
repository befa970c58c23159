#pragma once

#include "framework/Window.h"

#include <string>

class CCheckListCtrl;
struct CheckListItem;

// The inner window of a check list: paints the rows from the top row on, scrolls by rows and pixels, and
// takes the clicks that select rows and toggle their boxes. Tells its owner nothing: a toggle sets the
// modified flag, which the owner reads and clears.
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
    int OffsetX() const { return offsetX_; }
    // Whole rows that fit; a partly visible row below them is not counted.
    int RowsPerPage() const { return perPage_; }
    // -1 when nothing is selected.
    int SelectedIndex() const;

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
    static constexpr int kTopMargin = 5;

    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnPrintClient(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnVScroll(WPARAM, LPARAM);
    LRESULT OnHScroll(WPARAM, LPARAM);

    void Layout();
    void ApplyScrollBars();
    void SetBar(int bar, bool show, int maximum, int position);
    void Click(POINT point);
    void MarkSelected(CheckListItem& item);
    void Toggle(CheckListItem& item);
    void ScrollRowsTo(int top);
    void ScrollColumnsTo(int offsetX);
    int NextTop(int request, int thumb) const;
    int NextOffsetX(int request, int thumb) const;

    void DrawRow(HDC dc, HDC boxes, const CheckListItem& item, int displayRow, int width) const;
    void DrawSelection(HDC dc, const CheckListItem& item, const std::wstring& text, RECT area,
                       int width) const;
    int RowTop(int displayRow) const;
    int BoxLeft(const CheckListItem& item) const;

    CCheckListCtrl& frame_;
    int top_ = 0;
    int offsetX_ = 0;
    int perPage_ = 0;
    RECT client_{};
    CheckListItem* selected_ = nullptr;
    bool modified_ = false;
    bool toggleEnabled_ = true;
    bool updatingBars_ = false;

    DECLARE_MESSAGE_MAP()
};

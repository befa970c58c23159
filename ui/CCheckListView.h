#pragma once

#include "framework/Owners.h"
#include "framework/Window.h"
#include "ui/CToolTip.h"
#include "ui/CheckListAccessible.h"
#include "ui/CheckListLook.h"

#include <string>

class CheckListTree;
class CheckListViewListener;
struct CheckListItem;

// The inner window of a check list: paints the shown rows from the top row on, scrolls by rows, and takes
// the clicks and keys that select rows, toggle their boxes and fold rows. Typed letters select the next row
// whose name starts with them. A toggle sets the modified flag, which the owner reads and clears; a new
// selection, a double click, the focus and Ctrl+F are told to the listener, after the change.
// A row's tooltip shows its name whole when the view cuts it, then its description and warning. The rows
// and the look belong to the frame.
class CCheckListView : public Window {
public:
    CCheckListView(CheckListTree& tree, const CheckListLook& look, CheckListViewListener& listener)
        : tree_(tree), look_(look), listener_(listener)
    {
    }
    ~CCheckListView() override;

    bool Create(const std::string& className, const RECT& rect, HWND frame, UINT id);

    bool IsModified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    // A list whose toggling is off only selects on a click (the erase progress list).
    bool IsToggleEnabled() const { return toggleEnabled_; }
    void SetToggleEnabled(bool enabled) { toggleEnabled_ = enabled; }

    // Positions among the shown rows.
    int TopRow() const { return top_; }
    // Whole rows that fit; a partly visible row below them is not counted.
    int RowsPerPage() const { return perPage_; }
    // -1 when nothing is selected.
    int SelectedIndex() const;
    // What the tooltip shows over a row: its whole name when the view cuts it, its description, its warning.
    std::string TipText(const CheckListItem& item) const;

    // What the list's accessible object reads and does. A row's place in the client area is empty while
    // it is not on the page; the actions are those of a click on its box, its fold sign, its text.
    const CheckListTree& Tree() const { return tree_; }
    CheckListItem* Current() const { return selected_; }
    bool HasFocus() const { return GetHwnd() && GetFocus() == GetHwnd(); }
    RECT RowRect(const CheckListItem& item) const;
    CheckListItem* RowUnder(POINT client) const;
    void ToggleRow(CheckListItem& item);
    void FoldRow(CheckListItem& item, bool folded) { Fold(item, folded); }
    void SelectRow(CheckListItem& item) { SelectShown(item); }

    // Draws the rows from the top row on into a client area of this size, the partly visible last one too.
    void Paint(HDC dc, const RECT& client) const;

    // For the frame.
    int Select(int index);
    void ClearSelection();
    // Invalidates a row if it is drawn on the page.
    void RedrawRow(int index) const;
    void UpdateScrollBars();
    void RepaintNow() const;
    // After rows were folded, unfolded or filtered: the top row and the selection among the shown rows.
    void RowsChanged();
    // After the frame set the row's state.
    void StateChanged(const CheckListItem& item) const { AnnounceStates(item); }

private:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnPrintClient(WPARAM, LPARAM);
    LRESULT OnEraseBackground(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnLButtonDoubleClick(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnMouseWheel(WPARAM, LPARAM);
    LRESULT OnVScroll(WPARAM, LPARAM);
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM, LPARAM);
    LRESULT OnChar(WPARAM, LPARAM);
    LRESULT OnSetFocus(WPARAM, LPARAM);
    LRESULT OnKillFocus(WPARAM, LPARAM);
    LRESULT OnGetObject(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);

    // Tells screen readers what changed about a row, or the list itself for null, after the change.
    void Announce(DWORD event, const CheckListItem* item) const;
    // The row, the rows above it and its shown rows below, after a toggle.
    void AnnounceStates(const CheckListItem& item) const;
    void AnnounceShownStates(const CheckListItem& item) const;

    void Layout();
    // Folding is refused while a filter shows its rows.
    void Fold(CheckListItem& item, bool folded);
    void SetBar(bool show, int count, int position);
    int RowAt(int y) const;
    void Click(POINT point);
    void MarkSelected(CheckListItem& item);
    void Toggle(CheckListItem& item);
    bool OnFoldKey(UINT key);
    void SelectShown(CheckListItem& item);
    int KeyTarget(UINT key) const;
    int SelectedPosition() const;
    void ScrollIntoView(int position);
    int LastTop() const;
    void ScrollRowsTo(int top);
    int NextTop(int request, int thumb) const;
    void UpdateTip(int y);
    void HideTip();
    bool OnGlyph(const CheckListItem& item, POINT point) const;

    int NameRight(const CheckListItem& item, int width) const;
    void DrawRow(HDC dc, HDC boxes, const CheckListItem& item, int displayRow, int width) const;
    void DrawGlyph(HDC dc, const CheckListItem& item, int rowTop) const;
    void DrawPlainBox(HDC dc, const CheckListItem& item, const RECT& box) const;
    void DrawSelection(HDC dc, const CheckListItem& item, const std::wstring& text, RECT area,
                       int width) const;
    int RowTop(int displayRow) const;
    int BoxLeft(const CheckListItem& item) const;

    CheckListTree& tree_;
    const CheckListLook& look_;
    CheckListViewListener& listener_;
    int top_ = 0;
    int perPage_ = 0;
    RECT client_{};
    CheckListItem* selected_ = nullptr;
    bool modified_ = false;
    bool toggleEnabled_ = true;
    int wheelDelta_ = 0; // what the wheel turned that did not yet make a whole row
    int tipRow_ = -1;
    CToolTip tip_;
    ComPtr<CheckListAccessible> accessible_; // made when a reader first asks
    std::wstring typed_;                     // the letters typed so far
    unsigned long long typedAt_ = 0;         // when the last one was typed (GetTickCount64)

    DECLARE_MESSAGE_MAP()
};

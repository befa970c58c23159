#pragma once

#include "framework/Dpi.h"
#include "framework/Owners.h"
#include "framework/Window.h"
#include "ui/CCheckListView.h"
#include "ui/CFilterEdit.h"
#include "ui/CheckListLook.h"
#include "ui/CheckListTree.h"
#include "ui/CheckListViewListener.h"

#include <string>

// A scrolling list of rows arranged as a tree, each with a three-state check box drawn from bitmaps and a
// line of text. Clicking a box checks or unchecks the row and all rows below it and sets the rows above it
// to checked, unchecked or middle from their children.
//
// This is the outer frame window, which owns the rows, the bitmaps, the font and the drawing tools; the
// rows are shown by an inner view inset by 2 pixels. Rows are numbered depth first, parents first, from 0.
// Operations given a bad index or state return -1 and change nothing.
//
// A row the owner marks foldable folds and unfolds by its glyph and the Left and Right keys. Ctrl+F shows a
// filter field over the rows, which shows only the rows whose names hold the words typed in it; ticking a
// row then reaches only the rows shown below it. Escape, or emptying the field, ends the filter.
class CCheckListCtrl : public Window, private CheckListViewListener {
public:
    CCheckListCtrl() : view_(tree_, look_, *this) {}
    ~CCheckListCtrl() override;

    // The bitmaps are resource ids of the executable and must all be one size; a missing one or a size
    // mismatch is reported in a message box and fails. Without a font the list makes its own (Tahoma 14).
    // Bitmaps, font and margins are those for the parent's DPI.
    bool Create(const RECT& rect, HWND parent, UINT id, UINT checkId, UINT uncheckId, UINT middleId,
                COLORREF backColour, HFONT font = nullptr);

    // Null, and nothing added, when the state is not 0, 1 or 2. Neither repaints nor touches the parent's
    // state.
    CheckListItem* AddItem(const std::string& text, CheckListItem* parent, int state, int data,
                           COLORREF textColour, COLORREF selectedTextColour, COLORREF selectedBackColour);
    void ResetContent();
    // What screen readers call the list (a page's name); the windows' own texts.
    void SetName(const std::string& name);
    // The row's direct children, or with none every row.
    int GetCount(const CheckListItem* item = nullptr) const;
    int GetItemText(int index, std::string& text) const;
    // Text at the row's right end, kept whole while the name gives way; repaints the row.
    int SetItemDetail(int index, const std::string& detail);
    std::string GetItemDetail(int index) const;
    int GetCheck(int index) const;
    // False for a bad index too.
    bool IsLocked(int index) const;
    // Sets every row that has rows below it from them, after the owner filled the list; repaints.
    void UpdateParentStates();
    // Sets one row and updates its ancestors; leaves its children and the modified flag alone.
    int SetCheck(int index, int state);
    int GetItemData(int index) const;
    int SetItemData(int index, int data);
    CheckListItem* FindItemByData(int data) const;
    // -1 clears the selection without redrawing.
    int SetCurSel(int index);
    // -1 when nothing is selected.
    int GetCurSel() const { return view_.SelectedIndex(); }

    bool IsModified() const { return view_.IsModified(); }
    void SetModified(bool modified) { view_.SetModified(modified); }
    void SetToggleEnabled(bool enabled) { view_.SetToggleEnabled(enabled); }

    // Whether a foldable row is folded now; false for a bad index.
    bool IsFolded(int index) const;
    // Folds or unfolds a foldable row; -1 for a bad index or a row that cannot fold.
    int SetFolded(int index, bool folded);
    // The filter field, shown with the focus in it, or hidden with its filter ended and the focus in the
    // rows.
    void ShowFilter();
    void HideFilter();
    bool IsFilterShown() const;
    // As if typed into the field; shows it.
    void SetFilterText(const std::string& text);

    // After the window's DPI changed (the owner has moved it): boxes, own font, margins and widths anew.
    void ApplyDpi(const Dpi& dpi);
    // The frame's margin around the view, in the focus colour while the view has the keyboard focus.
    void PaintFrame(HDC dc, const RECT& client, bool focused) const;

    // The view of the shown check list among parent's children that lies under a screen point, or null.
    static HWND ViewUnder(HWND parent, POINT screen);

    CCheckListView& View() { return view_; }
    const CCheckListView& View() const { return view_; }
    int RowHeight() const { return look_.rowHeight; }
    int MaxExtent() const { return tree_.MaxExtent(); }

private:
    // Tells the parent, as a list box would, with WM_COMMAND.
    void Notify(WORD code) const;

    void OnSelectionChanged() override;
    void OnRowDoubleClicked() override;
    void OnFocusChanged(bool focused) override;
    void OnFilterAsked() override;

    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnUpdateUiState(WPARAM, LPARAM);

    void ApplyFilter();
    void OnFilterKey(UINT key);
    // The view's place: the frame's client area less the margin, and less the filter field while it shows.
    RECT ViewRect() const;

    bool LoadBoxes(HWND parent, UINT checkId, UINT uncheckId, UINT middleId, const Dpi& dpi);
    void ApplyLook(HFONT font, const Dpi& dpi);
    void MeasureFont();
    int TextWidth(const std::string& text) const;
    void MeasureText(CheckListItem& item) const;
    bool IsBadIndex(int index) const;
    CheckListItem* ValidRow(int index) const;

    CheckListTree tree_;
    GdiObject<HBITMAP> check_;
    GdiObject<HBITMAP> uncheck_;
    GdiObject<HBITMAP> middle_;
    GdiObject<HPEN> pen_;
    GdiObject<HBRUSH> brush_;
    GdiObject<HFONT> ownFont_;
    UINT boxIds_[3]{};
    CheckListLook look_;
    CCheckListView view_;
    CFilterEdit filter_;

    DECLARE_MESSAGE_MAP()
};

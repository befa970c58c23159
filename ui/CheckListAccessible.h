#pragma once

#include "ui/WindowAccessible.h"

class CCheckListView;
struct CheckListItem;

// A check list as a screen reader reads it: an outline when rows fold, else a list, named as its window is;
// each shown row a child called by the row's id, which stays with the row when others fold or are filtered
// away. A row's name is its text, its description what its tooltip explains, its states its box, its
// folding and whether it is the current row; its default action is what a click on its box or its fold
// sign does. The view clears the back pointer when its window goes.
class CheckListAccessible : public WindowAccessible {
public:
    explicit CheckListAccessible(CCheckListView& view);
    void Disconnect();

    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;

private:
    // The shown row of a child id; null for the list itself, a row not shown and anything else.
    CheckListItem* Row(const VARIANT& child) const;
    // S_OK for the list itself or a shown row, RPC_E_DISCONNECTED once the window is gone, else
    // E_INVALIDARG.
    HRESULT Check(const VARIANT& child) const;
    bool IsOutline() const;
    std::string DefaultAction(const CheckListItem& item) const;
    long RowState(const CheckListItem& item) const;
    // The child id of the shown row at the position, or VT_EMPTY.
    HRESULT ShownChild(int position, VARIANT* out) const;

    CCheckListView* view_;
};

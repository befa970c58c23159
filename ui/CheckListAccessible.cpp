#include "ui/CheckListAccessible.h"

#include "ui/CCheckListView.h"
#include "ui/CheckListTree.h"

#include <algorithm>

namespace {

// The row's description and its warning, as its tooltip shows them.
std::string Explanation(const CheckListItem& item)
{
    std::string text = item.description;
    if (!item.warning.empty())
        text += (text.empty() ? "" : "\n") + item.warning;
    return text;
}

HRESULT Empty(VARIANT* out)
{
    if (!out)
        return E_POINTER;
    VariantInit(out);
    return S_FALSE;
}

} // namespace

CheckListAccessible::CheckListAccessible(CCheckListView& view)
    : WindowAccessible(view.GetHwnd()), view_(&view)
{
}

void CheckListAccessible::Disconnect()
{
    view_ = nullptr;
    WindowAccessible::Disconnect();
}

CheckListItem* CheckListAccessible::Row(const VARIANT& child) const
{
    if (!view_ || child.vt != VT_I4 || child.lVal == CHILDID_SELF)
        return nullptr;
    CheckListItem* item = view_->Tree().FindById(child.lVal);
    return item && item->position >= 0 ? item : nullptr;
}

HRESULT CheckListAccessible::Check(const VARIANT& child) const
{
    if (!view_)
        return RPC_E_DISCONNECTED;
    return IsSelf(child) || Row(child) ? S_OK : E_INVALIDARG;
}

bool CheckListAccessible::IsOutline() const
{
    const auto& rows = view_->Tree().Rows();
    return std::any_of(rows.begin(), rows.end(), [](const CheckListItem* row) { return row->foldable; });
}

HRESULT CheckListAccessible::get_accChildCount(long* count)
{
    if (!view_)
        return RPC_E_DISCONNECTED;
    if (!count)
        return E_POINTER;
    *count = view_->Tree().ShownCount();
    return S_OK;
}

// Rows are simple elements: their parent answers for them.
HRESULT CheckListAccessible::get_accChild(VARIANT child, IDispatch** dispatch)
{
    if (!dispatch)
        return E_POINTER;
    *dispatch = nullptr;
    const HRESULT checked = Check(child);
    return FAILED(checked) ? checked : IsSelf(child) ? E_INVALIDARG : S_FALSE;
}

HRESULT CheckListAccessible::get_accName(VARIANT child, BSTR* name)
{
    if (FAILED(Check(child)))
        return Check(child);
    const CheckListItem* item = Row(child);
    return Text(item ? item->text : NameWithoutMnemonic(WindowText()), name);
}

// An outline item's value is its level, as in a tree view; a list row's is its detail (a count).
HRESULT CheckListAccessible::get_accValue(VARIANT child, BSTR* value)
{
    if (FAILED(Check(child)))
        return Check(child);
    const CheckListItem* item = Row(child);
    if (!item)
        return Text("", value);
    return Text(IsOutline() ? std::to_string(item->level) : item->detail, value);
}

HRESULT CheckListAccessible::get_accDescription(VARIANT child, BSTR* description)
{
    if (FAILED(Check(child)))
        return Check(child);
    const CheckListItem* item = Row(child);
    return Text(item ? Explanation(*item) : std::string(), description);
}

HRESULT CheckListAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    if (FAILED(Check(child)))
        return Check(child);
    const bool outline = IsOutline();
    if (IsSelf(child))
        return Number(outline ? ROLE_SYSTEM_OUTLINE : ROLE_SYSTEM_LIST, role);
    return Number(outline ? ROLE_SYSTEM_OUTLINEITEM : ROLE_SYSTEM_LISTITEM, role);
}

long CheckListAccessible::RowState(const CheckListItem& item) const
{
    long state = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
    if (item.state == CheckListItem::Checked)
        state |= STATE_SYSTEM_CHECKED;
    else if (item.state == CheckListItem::Middle)
        state |= STATE_SYSTEM_MIXED;
    if (item.foldable && !view_->Tree().IsFiltered())
        state |= item.folded ? STATE_SYSTEM_COLLAPSED : STATE_SYSTEM_EXPANDED;
    if (item.locked)
        state |= STATE_SYSTEM_UNAVAILABLE;
    if (view_->Current() == &item) {
        state |= STATE_SYSTEM_SELECTED;
        if (view_->HasFocus())
            state |= STATE_SYSTEM_FOCUSED;
    }
    const RECT row = view_->RowRect(item);
    if (IsRectEmpty(&row))
        state |= STATE_SYSTEM_OFFSCREEN;
    return state;
}

HRESULT CheckListAccessible::get_accState(VARIANT child, VARIANT* state)
{
    if (FAILED(Check(child)))
        return Check(child);
    if (const CheckListItem* item = Row(child))
        return Number(RowState(*item), state);
    return WindowAccessible::get_accState(child, state);
}

HRESULT CheckListAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    if (FAILED(Check(child)))
        return Check(child);
    return Text("", shortcut);
}

HRESULT CheckListAccessible::ShownChild(int position, VARIANT* out) const
{
    const CheckListItem* item = view_->Tree().ShownAt(position);
    return item ? Number(item->id, out) : Empty(out);
}

HRESULT CheckListAccessible::get_accFocus(VARIANT* child)
{
    if (!view_)
        return RPC_E_DISCONNECTED;
    if (!view_->HasFocus())
        return Empty(child);
    const CheckListItem* current = view_->Current();
    return Number(current && current->position >= 0 ? current->id : CHILDID_SELF, child);
}

HRESULT CheckListAccessible::get_accSelection(VARIANT* children)
{
    if (!view_)
        return RPC_E_DISCONNECTED;
    const CheckListItem* current = view_->Current();
    return current && current->position >= 0 ? Number(current->id, children) : Empty(children);
}

std::string CheckListAccessible::DefaultAction(const CheckListItem& item) const
{
    if (item.foldable && !view_->Tree().IsFiltered())
        return item.folded ? "Expand" : "Collapse";
    if (item.locked || !view_->IsToggleEnabled())
        return {};
    return CheckListTree::ToggledState(item) == CheckListItem::Checked ? "Check" : "Uncheck";
}

HRESULT CheckListAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    if (FAILED(Check(child)))
        return Check(child);
    const CheckListItem* item = Row(child);
    return Text(item ? DefaultAction(*item) : std::string(), action);
}

HRESULT CheckListAccessible::accDoDefaultAction(VARIANT child)
{
    if (FAILED(Check(child)))
        return Check(child);
    CheckListItem* item = Row(child);
    const std::string action = item ? DefaultAction(*item) : std::string();
    if (action.empty())
        return DISP_E_MEMBERNOTFOUND;
    if (action == "Expand" || action == "Collapse")
        view_->FoldRow(*item, action == "Collapse");
    else
        view_->ToggleRow(*item);
    return S_OK;
}

HRESULT CheckListAccessible::accSelect(long flags, VARIANT child)
{
    if (FAILED(Check(child)))
        return Check(child);
    CheckListItem* item = Row(child);
    if (!item || (flags & ~(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION)) != 0)
        return E_INVALIDARG;
    if (flags & SELFLAG_TAKEFOCUS)
        SetFocus(view_->GetHwnd());
    view_->SelectRow(*item);
    return S_OK;
}

HRESULT CheckListAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child)
{
    if (FAILED(Check(child)))
        return Check(child);
    const CheckListItem* item = Row(child);
    if (!item)
        return WindowAccessible::accLocation(left, top, width, height, child);
    if (!left || !top || !width || !height)
        return E_POINTER;
    RECT row = view_->RowRect(*item);
    if (IsRectEmpty(&row))
        return S_FALSE;
    MapWindowPoints(view_->GetHwnd(), nullptr, reinterpret_cast<POINT*>(&row), 2);
    *left = row.left;
    *top = row.top;
    *width = row.right - row.left;
    *height = row.bottom - row.top;
    return S_OK;
}

HRESULT CheckListAccessible::accNavigate(long direction, VARIANT start, VARIANT* end)
{
    if (FAILED(Check(start)))
        return Check(start);
    const int count = view_->Tree().ShownCount();
    if (IsSelf(start)) {
        if (direction == NAVDIR_FIRSTCHILD)
            return ShownChild(0, end);
        if (direction == NAVDIR_LASTCHILD)
            return ShownChild(count - 1, end);
        return WindowAccessible::accNavigate(direction, start, end);
    }
    const int position = Row(start)->position;
    switch (direction) {
    case NAVDIR_NEXT:
    case NAVDIR_DOWN:
        return ShownChild(position + 1, end);
    case NAVDIR_PREVIOUS:
    case NAVDIR_UP:
        return ShownChild(position - 1, end);
    case NAVDIR_LEFT:
    case NAVDIR_RIGHT:
        return Empty(end);
    default:
        return E_INVALIDARG;
    }
}

HRESULT CheckListAccessible::accHitTest(long left, long top, VARIANT* child)
{
    if (!view_)
        return RPC_E_DISCONNECTED;
    POINT point{left, top};
    ScreenToClient(view_->GetHwnd(), &point);
    RECT client{};
    GetClientRect(view_->GetHwnd(), &client);
    if (!PtInRect(&client, point))
        return Empty(child);
    const CheckListItem* item = view_->RowUnder(point);
    return Number(item ? item->id : CHILDID_SELF, child);
}

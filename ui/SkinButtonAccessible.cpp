#include "ui/SkinButtonAccessible.h"

#include "ui/CSkinButton.h"

SkinButtonAccessible::SkinButtonAccessible(CSkinButton& button)
    : WindowAccessible(button.GetHwnd()), button_(&button)
{
}

void SkinButtonAccessible::Disconnect()
{
    button_ = nullptr;
    WindowAccessible::Disconnect();
}

HRESULT SkinButtonAccessible::Check(const VARIANT& child) const
{
    if (!button_)
        return RPC_E_DISCONNECTED;
    return IsSelf(child) ? S_OK : E_INVALIDARG;
}

HRESULT SkinButtonAccessible::get_accName(VARIANT child, BSTR* name)
{
    if (FAILED(Check(child)))
        return Check(child);
    const std::string caption = NameWithoutMnemonic(WindowText());
    return Text(caption.empty() ? button_->ToolTipText() : caption, name);
}

HRESULT SkinButtonAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    if (FAILED(Check(child)))
        return Check(child);
    if (button_->IsPageTab())
        return Number(ROLE_SYSTEM_PAGETAB, role);
    switch (button_->GetKind()) {
    case CSkinButton::Kind::CheckBox:
        return Number(ROLE_SYSTEM_CHECKBUTTON, role);
    case CSkinButton::Kind::Radio:
        return Number(ROLE_SYSTEM_RADIOBUTTON, role);
    default:
        return Number(ROLE_SYSTEM_PUSHBUTTON, role);
    }
}

// The system's states (focus, availability, visibility), with the check or selection the button keeps
// itself; the page tab of the page shown is disabled only so that it cannot be pressed again.
HRESULT SkinButtonAccessible::get_accState(VARIANT child, VARIANT* state)
{
    if (FAILED(Check(child)))
        return Check(child);
    HWND hwnd = Hwnd();
    long bits = STATE_SYSTEM_FOCUSABLE;
    if (!IsWindowVisible(hwnd))
        bits |= STATE_SYSTEM_INVISIBLE;
    if (!IsWindowEnabled(hwnd) && !button_->IsSelectedTab())
        bits |= STATE_SYSTEM_UNAVAILABLE;
    if (GetFocus() == hwnd)
        bits |= STATE_SYSTEM_FOCUSED;
    if (button_->GetKind() != CSkinButton::Kind::Push && button_->IsChecked())
        bits |= STATE_SYSTEM_CHECKED;
    if (button_->IsPageTab())
        bits |= STATE_SYSTEM_SELECTABLE | (button_->IsSelectedTab() ? STATE_SYSTEM_SELECTED : 0);
    if ((button_->GetState() & BST_PUSHED) != 0)
        bits |= STATE_SYSTEM_PRESSED;
    return Number(bits, state);
}

HRESULT SkinButtonAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    if (FAILED(Check(child)))
        return Check(child);
    const std::string own = button_->Shortcut();
    return Text(own.empty() ? AltShortcut(WindowText()) : own, shortcut);
}

std::string SkinButtonAccessible::DefaultAction() const
{
    if (!IsWindowEnabled(Hwnd()))
        return {};
    if (button_->IsPageTab())
        return "Switch";
    switch (button_->GetKind()) {
    case CSkinButton::Kind::CheckBox:
        return button_->IsChecked() ? "Uncheck" : "Check";
    case CSkinButton::Kind::Radio:
        return "Check";
    default:
        return "Press";
    }
}

HRESULT SkinButtonAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    if (FAILED(Check(child)))
        return Check(child);
    return Text(DefaultAction(), action);
}

// Posted: a press may open a modal dialog, and the reader's call must come back first.
HRESULT SkinButtonAccessible::accDoDefaultAction(VARIANT child)
{
    if (FAILED(Check(child)))
        return Check(child);
    if (DefaultAction().empty())
        return DISP_E_MEMBERNOTFOUND;
    return PostMessageW(Hwnd(), CSkinButton::kClickMessage, 0, 0) ? S_OK : E_FAIL;
}

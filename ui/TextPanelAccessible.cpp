#include "ui/TextPanelAccessible.h"

HRESULT TextPanelAccessible::get_accName(VARIANT child, BSTR* name)
{
    if (!Hwnd())
        return RPC_E_DISCONNECTED;
    return IsSelf(child) ? Text(WindowText(), name) : E_INVALIDARG;
}

HRESULT TextPanelAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    if (!Hwnd())
        return RPC_E_DISCONNECTED;
    return IsSelf(child) ? Number(ROLE_SYSTEM_STATICTEXT, role) : E_INVALIDARG;
}

HRESULT TextPanelAccessible::get_accState(VARIANT child, VARIANT* state)
{
    if (!Hwnd())
        return RPC_E_DISCONNECTED;
    return IsSelf(child) ? Number(STATE_SYSTEM_READONLY, state) : E_INVALIDARG;
}

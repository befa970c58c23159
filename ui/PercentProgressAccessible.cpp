#include "ui/PercentProgressAccessible.h"

#include "ui/CPercentProgressCtrl.h"

PercentProgressAccessible::PercentProgressAccessible(CPercentProgressCtrl& bar)
    : WindowAccessible(bar.GetHwnd()), bar_(&bar)
{
}

void PercentProgressAccessible::Disconnect()
{
    bar_ = nullptr;
    WindowAccessible::Disconnect();
}

HRESULT PercentProgressAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    if (!bar_)
        return RPC_E_DISCONNECTED;
    return IsSelf(child) ? Number(ROLE_SYSTEM_PROGRESSBAR, role) : E_INVALIDARG;
}

HRESULT PercentProgressAccessible::get_accValue(VARIANT child, BSTR* value)
{
    if (!bar_)
        return RPC_E_DISCONNECTED;
    return IsSelf(child) ? Text(CPercentProgressCtrl::PercentValue(bar_->Look()), value) : E_INVALIDARG;
}

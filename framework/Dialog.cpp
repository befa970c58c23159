#include "framework/Dialog.h"

#include <commctrl.h>

namespace {

// Messages whose result a dialog procedure returns itself rather than through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message)
{
    switch (message) {
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
        return true;
    default:
        return false;
    }
}

} // namespace

BEGIN_MESSAGE_MAP(Dialog, Window)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

Dialog::Dialog(UINT templateId) : templateId_(templateId), memoryTemplate_(nullptr) {}

Dialog::Dialog(const DLGTEMPLATE& memoryTemplate) : templateId_(0), memoryTemplate_(&memoryTemplate) {}

INT_PTR Dialog::DoModal(HWND parent)
{
    // Templates hold progress bars, and skinned buttons make tooltips: their classes must exist first.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    HINSTANCE instance = GetModuleHandleW(nullptr);
    auto self = reinterpret_cast<LPARAM>(this);
    if (memoryTemplate_)
        return DialogBoxIndirectParamW(instance, memoryTemplate_, parent, DialogProc, self);
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId_), parent, DialogProc, self);
}

void Dialog::EndDialog(INT_PTR result)
{
    ::EndDialog(GetHwnd(), result);
}

HWND Dialog::GetItem(int id) const
{
    return GetDlgItem(GetHwnd(), id);
}

bool Dialog::AttachItem(int id, Window& control)
{
    return control.Subclass(GetItem(id));
}

bool Dialog::OnInitDialog()
{
    return true;
}

void Dialog::OnOK()
{
    EndDialog(IDOK);
}

void Dialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

LRESULT Dialog::HandleInitDialog(WPARAM, LPARAM)
{
    return OnInitDialog() ? TRUE : FALSE;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        reinterpret_cast<Dialog*>(lParam)->Attach(hwnd, Attachment::Dialog);
    auto* dialog = static_cast<Dialog*>(reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, DWLP_USER)));
    if (!dialog)
        return FALSE;
    if (message == WM_NCDESTROY) {
        dialog->Detach();
        return FALSE;
    }
    std::optional<LRESULT> result = dialog->Dispatch({hwnd, message, wParam, lParam, 0, {}});
    if (!result)
        return FALSE;
    if (ReturnsResultDirectly(message))
        return *result;
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, *result);
    return TRUE;
}

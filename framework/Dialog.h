#pragma once

#include "framework/Window.h"

// A modal dialog from a template: a resource id of the executable, or a template in memory. IDOK and IDCANCEL
// (the Escape key and the close box) end it with their id unless the derived class maps them itself.
//
// Messages before WM_INITDIALOG get the dialog manager's handling only. A mapped message counts as handled
// and its handler's result is the message's result; Default() leaves the message to the dialog manager.
class Dialog : public Window {
public:
    explicit Dialog(UINT templateId);
    // The template must outlive DoModal.
    explicit Dialog(const DLGTEMPLATE& memoryTemplate);

    // The value passed to EndDialog, or -1 when the dialog could not be created.
    INT_PTR DoModal(HWND parent = nullptr);
    void EndDialog(INT_PTR result);

    HWND GetItem(int id) const;
    // Subclasses the dialog's control with this id so that control's messages reach the object.
    bool AttachItem(int id, Window& control);

protected:
    // Return true to let the dialog manager focus the first control.
    virtual bool OnInitDialog();

    void OnOK();
    void OnCancel();

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleInitDialog(WPARAM, LPARAM);

    UINT templateId_;
    const DLGTEMPLATE* memoryTemplate_;

    DECLARE_MESSAGE_MAP()
};

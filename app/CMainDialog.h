#pragma once
#include "framework/Dialog.h"

// The program's main window: a skinned 370 x 450 pop-up.
class CMainDialog : public Dialog {
public:
    CMainDialog();

private:
    bool OnInitDialog() override;

    DECLARE_MESSAGE_MAP()
};

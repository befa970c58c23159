#pragma once
#include "framework/Dialog.h"

// "Vestrel 4.0" with the program icon and an Ok button.
class CAboutDialog : public Dialog {
public:
    CAboutDialog();
};

#pragma once
#include "ui/CSkinFormDialog.h"

// "Vestrel 4.0" with the program icon and an Ok button.
class CAboutDialog : public CSkinFormDialog {
public:
    CAboutDialog();
};

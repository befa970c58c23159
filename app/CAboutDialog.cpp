#include "app/CAboutDialog.h"

#include "app/AppSkin.h"
#include "resource.h"

CAboutDialog::CAboutDialog() : CSkinFormDialog(IDD_ABOUT, kFormSkin, "About Vestrel") {}

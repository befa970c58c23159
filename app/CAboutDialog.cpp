#include "app/CAboutDialog.h"

#include "resource.h"

CAboutDialog::CAboutDialog() : Dialog(IDD_ABOUT) {}

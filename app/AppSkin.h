#pragma once
#include "ui/CSkinDialog.h"
#include "ui/CSkinFormDialog.h"

#include "resource.h"

// The program's skin: its push buttons, as every dialog of the program places them.
inline constexpr PushButtonSkin kPushButtonSkin{IDB_BUTTON, IDB_BUTTON_HOVER, {84, 25}};
// Dialogs laid out by their templates: those faces, the program icon in a band 26 dialog units high.
inline constexpr CSkinFormDialog::Skin kFormSkin{kPushButtonSkin, IDI_PROGRAM, 26};

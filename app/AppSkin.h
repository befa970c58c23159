#pragma once
#include "ui/CSkinDialog.h"

#include "resource.h"

// The program's skin: its push buttons, as every dialog of the program places them.
inline constexpr PushButtonSkin kPushButtonSkin{IDB_BUTTON, IDB_BUTTON_HOVER, {84, 25}};

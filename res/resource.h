#pragma once
// The one header of named resource ids.

#include "skin_ids.h"

// Dialogs, menus and strings
#define IDD_ABOUT 100
#define IDS_ABOUT_ENTRY 101
#define IDD_MAIN 102
#define IDR_TRAY_MENU 135
#define IDR_PLUGIN_MENU 136
#define IDD_ERASE_PROGRESS 153
#define IDD_OPTIONS 157
#define IDD_SCHEDULE 161
#define IDD_LOADER 164
#define IDD_CLOSE_PROMPT 171
#define IDD_ERASE_RESULT 176
#define IDD_ERASE_DETAILS 177

// Main window controls. The logo is the dialog's cancel id on purpose: Escape opens the home page.
#define IDC_LOGO 2
#define IDC_TITLE_CLOSE 3
#define IDC_OPTION 1000
#define IDC_SCHEDULE 1001
#define IDC_SET_DEFAULT 1002
#define IDC_ERASE_NOW 1008
#define IDC_HELP_BUTTON 1009
#define IDC_PLUGIN 1010
#define IDC_ABOUT_BUTTON 1012
#define IDC_HIDE 1013
#define IDC_PAGE_IE 1036
#define IDC_PAGE_WINDOWS 1037
#define IDC_PAGE_APPLICATIONS 1038
#define IDC_MINIMIZE 1047
#define IDC_CHECK_LIST 10001

// Tray menu and the system menu's about entry
#define ID_SHOW_WINDOW 32773

// The Plugin button's menu
#define ID_PLUGIN_PAGE 32774
#define ID_IMPORT_RULES 32775
#define IDM_ABOUT_ENTRY 0x10

// Progress dialog and loader screen. Erase stays clear of the cancel id: Escape and the close box only
// ever leave the dialog.
#define IDC_START_ERASE 1050
#define IDC_PROGRESS_BAR 1037
// Result dialog
#define IDC_RESULT_DETAILS 1051
#define IDC_DETAILS_LIST 1052
// Lists of entries (what a run left, what an item would remove)
#define IDC_DETAILS_COPY 1060
// Progress dialog: the selected item's files
#define IDC_SHOW_FILES 1061

// Options dialog
#define IDC_AUTO_LAUNCH 1038
#define IDC_EXPRESS_MODE 1048
#define IDC_PLAY_SOUND 1049
#define IDC_KEEP_SITE 1053
#define IDC_KEEP_ADD 1054
#define IDC_KEEP_SITES 1055
#define IDC_KEEP_REMOVE 1056
#define IDC_KEEP_NOTE 1065
#define IDC_SECURE_DELETION 1057
#define IDC_SECURE_NOTE 1058

// Schedule dialog
#define IDC_ENABLE_SCHEDULE 1039
#define IDC_ERASE_AT_STARTUP 1040
#define IDC_ERASE_AT_EVERY 1041
#define IDC_ERASE_PERIOD 1046
#define IDC_ERASE_WHEN_CLOSED 1053
#define IDC_MANAGED_NOTE 1054

// Close prompt
#define IDC_MINIMIZE_IT 2
#define IDC_CLOSE_IT 1

// Version resource; its id and the manifest's are the standard ones of windows.h (1 each)
#define VESTREL_VERSION_NUMBERS 4, 0, 0, 0
#define VESTREL_VERSION_TEXT "4.0"

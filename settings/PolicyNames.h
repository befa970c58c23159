#pragma once

// Where an organization's policies are stored, under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER (the
// machine's value wins), and the names of their values. The administrative templates write these names.
inline constexpr char kPoliciesKeyPath[] = "Software\\Policies\\Vestrel";

// Lists of item ids (REG_MULTI_SZ): items always ticked, items never ticked.
inline constexpr char kTickedItemsPolicy[] = "Ticked Items";
inline constexpr char kUntickedItemsPolicy[] = "Unticked Items";
// Sites whose cookies and data are kept (REG_MULTI_SZ).
inline constexpr char kKeepSitesPolicy[] = "Keep Sites";
// The schedule (DWORDs), as the user's settings of the same names: 0 or 1, and a period index.
inline constexpr char kEnableSchedulePolicy[] = "Enable Schedule";
inline constexpr char kEraseAtStartupPolicy[] = "Erase at Startup";
inline constexpr char kEraseAtEveryPolicy[] = "Erase at Every";
inline constexpr char kErasePeriodPolicy[] = "Erase Period";
// Files overwritten before they are deleted (DWORD 0 or 1), as the user's setting of the same name.
inline constexpr char kSecureDeletionPolicy[] = "Secure Deletion";
// What the user may do (DWORDs, 0 refuses, 1 allows).
inline constexpr char kAllowRulesImportPolicy[] = "Allow Rules Import";
inline constexpr char kAllowPluginChangesPolicy[] = "Allow Plugin Folder Changes";
inline constexpr char kAllowCommandLineErasePolicy[] = "Allow Command Line Erase";

// What the window and vestrel-cli show beside a setting the organization decides.
inline constexpr char kManagedByOrganizationText[] = "Set by your organization";
inline constexpr char kSomeSettingsManagedText[] = "Some settings are managed by your organization";

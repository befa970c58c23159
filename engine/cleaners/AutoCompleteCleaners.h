#pragma once

// The browser's stored auto-complete data. Neither cleaner counts anything; what cannot be deleted stays.

// The form data in protected storage. From Windows 2000 on (version 5 and later) the user's key is
// locked to the system: its DACL is saved, the keys are opened to the user and the system, the data key
// is deleted, and the saved DACL goes back on the user's key. The machine-wide form, named by the user
// name, is deleted on every version.
void DeleteProtectedStorageForms(double windowsVersion);

// The IntelliForms key with everything below it.
void DeleteIntelliForms();

#pragma once
// The one header of named resource ids.

#define IDD_MAIN 102

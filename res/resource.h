#pragma once
// The one header of named resource ids.

#include "skin_ids.h"

#define IDD_MAIN 102

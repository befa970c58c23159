#pragma once
#include "engine/EraseContext.h"

// What the engine is told when it works for this program: its plug-in folder, this Windows version and
// this system's protected folders.
EraseContext ProgramEraseContext();

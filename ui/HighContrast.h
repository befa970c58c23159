#pragma once

#include <windows.h>

// Whether the skin steps aside for the system colours: Windows' high-contrast mode (SPI_GETHIGHCONTRAST),
// read at the first question and again whenever a skinned dialog hears that the system's colours or
// settings changed. While it is on, every skinned window, list and button paints with the system colours
// only, draws no bitmap behind text and always shows the keyboard focus.
bool HighContrastOn();
// Reads the system's setting again; true when the mode changed.
bool RefreshHighContrast();
// Sets the mode as if the system had said so, until the next refresh (for painting tests).
void SetHighContrast(bool on);

// A system colour's brush, owned by the system.
inline HBRUSH SystemBrush(int index)
{
    return GetSysColorBrush(index);
}

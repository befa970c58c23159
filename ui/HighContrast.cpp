#include "ui/HighContrast.h"

namespace {

bool ReadSystemSetting()
{
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof(setting);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(setting), &setting, 0) &&
           (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

// Asked from the window thread only; -1 until first read.
int g_mode = -1;

} // namespace

bool HighContrastOn()
{
    if (g_mode < 0)
        g_mode = ReadSystemSetting() ? 1 : 0;
    return g_mode == 1;
}

bool RefreshHighContrast()
{
    const int before = g_mode;
    g_mode = ReadSystemSetting() ? 1 : 0;
    return g_mode != before;
}

void SetHighContrast(bool on)
{
    g_mode = on ? 1 : 0;
}

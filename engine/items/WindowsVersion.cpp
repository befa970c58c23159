#include "engine/items/WindowsVersion.h"

#include <cstdio>

double WindowsVersionFromParts(unsigned major, unsigned minor)
{
    return major + minor * 0.1;
}

std::string FormatWindowsVersion(double version)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", version);
    return text;
}

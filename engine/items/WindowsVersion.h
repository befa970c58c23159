#pragma once
#include <string>

// Major version plus a tenth of the minor version, as GetVersion reports them.
double WindowsVersionFromParts(unsigned major, unsigned minor);
// The version as plug-in files write it ("%g": 5.1, 10, 6.1).
std::string FormatWindowsVersion(double version);

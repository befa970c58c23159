// Starts writing the configuration file named by its argument and dies half way, as a killed program would:
// no Close, no destructors.
#include "framework/Utf8.h"
#include "settings/ConfigFile.h"

#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    ConfigFile file(ToUtf8(argv[1]));
    if (!file.OpenForWrite())
        return 3;
    file.WriteOpening();
    file.WriteItem("half-written", true);
    TerminateProcess(GetCurrentProcess(), 9);
    return 0;
}

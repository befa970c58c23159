#include "tests/plugins/ShippedFolder.h"

#include "tests/support/Processes.h"

std::string ShippedProgramFolder()
{
    // The tests of each build run from their own drive: T: beside P:, U: beside Q:.
    return TestProgramFolder().rfind("U:", 0) == 0 ? "Q:\\" : "P:\\";
}

std::string ShippedPluginFolder()
{
    return ShippedProgramFolder() + "plugin\\";
}

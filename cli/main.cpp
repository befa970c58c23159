#include "cli/CliProgram.h"
#include "framework/Utf8.h"

#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(ToUtf8(argv[i]));
    return RunCliProgram(arguments);
}

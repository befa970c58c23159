#pragma once
#include "cli/CliProgram.h"
#include "tests/app/EraseRunFixture.h"

#include <string>
#include <vector>

// vestrel-cli's commands run in this process over an erase run fixture's sandbox: its plug-in folder,
// configuration, record file and scratch settings key. What they print is kept.
class CliFixture : public EraseRunFixture {
protected:
    int Cli(const std::vector<std::string>& arguments)
    {
        out.clear();
        err.clear();
        CliStreams streams{[this](std::string_view text) { out += text; },
                           [this](std::string_view text) { err += text; }};
        return CliProgram(Setup(), std::move(streams), [this] { return nowMs; }).Run(arguments);
    }

    std::string out;
    std::string err;
    uint64_t nowMs = 0;
};

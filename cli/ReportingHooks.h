#pragma once
#include "run/EraseRunHooks.h"
#include "cli/RunProgress.h"
#include "cli/RunReport.h"

// Executes each item in the report's mode and records what it reached: a preview walks the items
// through these hooks itself, an erase hands them to the program's run (paced to neither chime nor
// pause).
class ReportingHooks final : public EraseRunHooks {
public:
    ReportingHooks(RunReport& report, RunProgress& progress) : report_(report), progress_(progress) {}

    // The run's listener hears the item's refusals once it is done.
    void Execute(EraseItem& item, const EraseContext& context, EraseListener& listener) override;

private:
    RunReport& report_;
    RunProgress& progress_;
};

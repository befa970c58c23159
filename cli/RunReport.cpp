#include "cli/RunReport.h"

#include "run/EraseRun.h"

#include <algorithm>

EraseTally RunReport::Total() const
{
    EraseTally total;
    for (const ItemReport& item : items)
        AddTally(total, item.tally);
    return total;
}

bool RunReport::HasFailures() const
{
    return std::any_of(items.begin(), items.end(),
                       [](const ItemReport& item) { return !item.failures.empty(); });
}

bool RunReport::HasSkips() const
{
    return std::any_of(items.begin(), items.end(),
                       [](const ItemReport& item) { return !item.skipped.empty(); });
}

bool RunReport::HasRefusals() const
{
    return std::any_of(items.begin(), items.end(),
                       [](const ItemReport& item) { return !item.refused.empty(); });
}

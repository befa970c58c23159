#include "cli/ReportingHooks.h"

#include "engine/EraseContext.h"
#include "engine/items/EraseItem.h"

void ReportingHooks::Execute(EraseItem& item, const EraseContext& context, EraseListener& listener)
{
    progress_.ItemStarted(item.descript);
    ItemReport& itemReport = report_.items.emplace_back(ReportFor(item));
    itemReport.overwrite = context.secureDeletion;
    ItemRecorder recorder(itemReport, listener);
    item.ExecuteItem(context, EraseOptions{report_.mode, &recorder});
    itemReport.tally = item.tally;
    for (const std::string& target : itemReport.refused)
        listener.OnRefused(target);
}

#include "app/CEraseDetailsDialog.h"

CEraseDetailsDialog::CEraseDetailsDialog(const std::vector<LeftEntry>& entries)
{
    windowName = kTitle;
    heading = "What Was Left";
    subheading = "These could not be removed. Close the programs that use them and erase again.";
    columns = {{"Why", 90}, {"Where", 300}, {"Details", 200}};
    rows = Rows(entries);
}

std::vector<CEntryListDialog::Row> CEraseDetailsDialog::Rows(const std::vector<LeftEntry>& entries)
{
    std::vector<Row> rows;
    rows.reserve(entries.size());
    for (const LeftEntry& entry : entries)
        rows.push_back({entry.why, entry.path, entry.detail});
    return rows;
}

#include "app/CItemFilesDialog.h"

CItemFilesDialog::CItemFilesDialog(const std::string& itemName, const ItemPreview& preview)
{
    windowName = kTitle;
    heading = itemName;
    subheading = "An erase would remove: " + PreviewText(preview);
    columns = {{"Kind", 80}, {"Size", 90, true}, {"What", 380}};
    if (preview.report)
        rows = Rows(*preview.report);
}

std::vector<CEntryListDialog::Row> CItemFilesDialog::Rows(const ItemReport& report)
{
    std::vector<Row> rows;
    for (ReportLine& line : ReportLines(report, EraseMode::Preview))
        rows.push_back({std::move(line.kind), std::move(line.size), std::move(line.what)});
    return rows;
}

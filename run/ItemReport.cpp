#include "run/ItemReport.h"

#include "engine/items/EraseItem.h"
#include "engine/RefusedTarget.h"
#include "framework/NumberText.h"

#include <algorithm>

void ItemRecorder::OnFile(const std::string& path, uint64_t size)
{
    std::erase_if(report_.failures, [&path](const Failure& failure) { return failure.path == path; });
    report_.files.push_back({path, size});
}

void ItemRecorder::OnFolderLink(const std::string& path)
{
    report_.folderLinks.push_back(path);
}

void ItemRecorder::OnRegistryEntry(const std::string& path, bool isKey)
{
    report_.registryEntries.push_back({path, isKey});
}

void ItemRecorder::OnRecycleBin(const std::string& root, uint64_t items, uint64_t bytes)
{
    report_.recycleBins.push_back({root, items, bytes});
}

void ItemRecorder::OnFailure(const std::string& path, const std::string& reason)
{
    auto& failures = report_.failures;
    if (std::none_of(failures.begin(), failures.end(), [&path](const Failure& f) { return f.path == path; }))
        failures.push_back({path, reason});
}

void ItemRecorder::OnRefused(const std::string& path)
{
    report_.refused.push_back(path);
}

void ItemRecorder::OnSkipped(const std::string& reason)
{
    report_.skipped.push_back(reason);
}

void ItemRecorder::OnItemFailure(const std::string& reason)
{
    report_.failure = reason;
}

void ItemRecorder::OnUncounted(const std::string& what)
{
    report_.uncounted.push_back(what);
}

void ItemRecorder::OnCookies(const std::string& database, uint64_t count)
{
    report_.cookieDatabases.push_back({database, count});
    recordWriter_.OnCookies(database, count);
}

void ItemRecorder::OnKeptForSite(const std::string& folder, const std::string& site)
{
    report_.keptForSites.push_back({folder, site});
    recordWriter_.OnKeptForSite(folder, site);
}

void ItemRecorder::OnFreeSpace(const std::string& root, uint64_t bytes)
{
    report_.freeSpace.push_back({root, bytes});
}

void ItemRecorder::OnProgramFailure(const std::string& program, const std::string& reason)
{
    OnFailure(program, reason);
    recordWriter_.OnProgramFailure(program, reason);
}

void ItemRecorder::OnUnlistedFolder(const std::string& folder, const std::string& reason)
{
    OnFailure(folder, reason);
    recordWriter_.OnUnlistedFolder(folder, reason);
}

void ItemRecorder::OnRefusedEdit(const std::string& path, const std::string& reason)
{
    OnFailure(path, reason);
    recordWriter_.OnRefusedEdit(path, reason);
}

void ItemRecorder::OnNotOverwritten(const std::string& path, const std::string& reason)
{
    OnFailure(path, reason);
    recordWriter_.OnNotOverwritten(path, reason);
}

void ItemRecorder::OnOverwriteCaveat(const std::string& path, const std::string& note)
{
    if (!report_.files.empty() && report_.files.back().path == path)
        report_.files.back().note = note;
    recordWriter_.OnOverwriteCaveat(path, note);
}

ItemReport ReportFor(const EraseItem& item)
{
    ItemReport report;
    report.id = item.id;
    report.descript = item.descript;
    report.type = item.type;
    report.warning = item.warning;
    return report;
}

std::vector<ReportLine> ReportLines(const ItemReport& item, EraseMode mode)
{
    std::vector<ReportLine> lines;
    if (!item.warning.empty())
        lines.push_back({"warning", "", item.warning});
    for (const std::string& reason : item.skipped)
        lines.push_back({"skipped", "", reason});
    if (!item.failure.empty())
        lines.push_back({"failed", "", item.failure + " (what follows was reached before)"});
    const char* file = mode == EraseMode::Preview && item.overwrite ? "to overwrite" : "file";
    for (const FileEntry& entry : item.files)
        lines.push_back({file, SizeText(entry.size),
                         entry.note.empty() ? entry.path : entry.path + " (" + entry.note + ")"});
    for (const std::string& link : item.folderLinks)
        lines.push_back({"link", "", link + " (never followed; not counted)"});
    for (const RegistryEntry& entry : item.registryEntries)
        lines.push_back({entry.isKey ? "key" : "value", "", entry.path});
    for (const RecycleBinEntry& bin : item.recycleBins)
        lines.push_back({"recycle bin", SizeText(bin.bytes),
                         bin.root + " (" + CountText(bin.items, "item", "items") + ")"});
    for (const CookieDatabase& database : item.cookieDatabases)
        lines.push_back(
            {"cookies", GroupedNumber(database.cookies), database.path + " (sites to keep stay)"});
    for (const KeptFolder& kept : item.keptForSites)
        lines.push_back({"kept", "", kept.folder + " (data of " + kept.site + ", a site to keep)"});
    for (const FreeSpaceEntry& drive : item.freeSpace)
        lines.push_back({"free space", SizeText(drive.bytes),
                         drive.root + (mode == EraseMode::Preview ? " (to overwrite with zeros)"
                                                                  : " (overwritten with zeros)")});
    for (const std::string& target : item.refused)
        lines.push_back({"refused", "", RefusedText(target)});
    for (const std::string& what : item.uncounted)
        lines.push_back({"uncounted", "", what});
    const char* failed = mode == EraseMode::Preview ? "would fail" : "not deleted";
    for (const Failure& failure : item.failures)
        lines.push_back({failed, "", failure.path + ": " + failure.reason});
    return lines;
}

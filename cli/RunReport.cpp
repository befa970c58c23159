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

void ItemRecorder::OnUncounted(const std::string& what)
{
    report_.uncounted.push_back(what);
}

void ItemRecorder::OnCookies(const std::string& database, uint64_t count)
{
    report_.cookieDatabases.push_back({database, count});
}

void ItemRecorder::OnKeptForSite(const std::string& folder, const std::string& site)
{
    report_.keptForSites.push_back({folder, site});
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

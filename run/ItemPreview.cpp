#include "run/ItemPreview.h"

#include <vector>

namespace {

std::string Joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

} // namespace

ItemPreview PreviewOf(ItemReport report, const std::string& skipped)
{
    ItemPreview preview;
    preview.skipped = skipped;
    preview.failure = report.failure;
    preview.tally = report.tally;
    preview.uncounted = !report.uncounted.empty();
    preview.refused = static_cast<unsigned>(report.refused.size());
    preview.keptForSites = static_cast<unsigned>(report.keptForSites.size());
    preview.wouldFail = static_cast<unsigned>(report.failures.size());
    for (const FreeSpaceEntry& drive : report.freeSpace)
        preview.freeSpace += drive.bytes;
    preview.report = std::make_shared<const ItemReport>(std::move(report));
    return preview;
}

std::string PreviewText(const ItemPreview& preview)
{
    if (!preview.skipped.empty())
        return preview.skipped;
    if (!preview.failure.empty())
        return "failed: " + preview.failure;
    const EraseTally& tally = preview.tally;
    std::vector<std::string> parts;
    if (tally.filesErased || tally.bytesReleased) {
        bool overwrite = preview.report && preview.report->overwrite;
        parts.push_back(CountText(tally.filesErased, "file", "files") + (overwrite ? " to overwrite" : ""));
        parts.push_back(SizeText(tally.bytesReleased));
    }
    if (tally.registryEntriesErased)
        parts.push_back(CountText(tally.registryEntriesErased, "registry entry", "registry entries"));
    if (tally.cookiesErased)
        parts.push_back(CountText(tally.cookiesErased, "cookie", "cookies"));
    if (preview.freeSpace)
        parts.push_back(SizeText(preview.freeSpace) + " to overwrite");
    if (preview.keptForSites)
        parts.push_back(GroupedNumber(preview.keptForSites) + " kept for sites");
    if (preview.refused)
        parts.push_back(GroupedNumber(preview.refused) + " refused");
    if (preview.wouldFail)
        parts.push_back(GroupedNumber(preview.wouldFail) + " would fail");
    if (parts.empty())
        return preview.uncounted ? "uncounted" : "nothing to erase";
    return Joined(parts);
}

std::string LeftoversText(const Leftovers& left)
{
    std::vector<std::string> parts;
    if (left.inUse)
        parts.push_back(CountText(left.inUse, "file in use", "files in use"));
    if (left.denied)
        parts.push_back(GroupedNumber(left.denied) + " denied");
    if (left.other)
        parts.push_back(GroupedNumber(left.other) + " not removed");
    if (left.refused)
        parts.push_back(GroupedNumber(left.refused) + " refused");
    return Joined(parts);
}

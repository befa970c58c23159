#include "run/ItemPreview.h"

#include "framework/Format.h"

#include <vector>

namespace {

std::string Counted(uint64_t count, const char* one, const char* many)
{
    return GroupedNumber(count) + " " + (count == 1 ? one : many);
}

std::string Joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

} // namespace

std::string GroupedNumber(uint64_t value)
{
    std::string digits = std::to_string(value);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(digits.begin() + static_cast<std::ptrdiff_t>(at - 3), ',');
    return digits;
}

std::string SizeText(uint64_t bytes)
{
    if (bytes < 1024)
        return Counted(bytes, "byte", "bytes");
    const char* const units[] = {"KB", "MB", "GB", "TB"};
    double size = static_cast<double>(bytes) / 1024;
    size_t unit = 0;
    for (; size >= 1024 && unit + 1 < std::size(units); ++unit)
        size /= 1024;
    return Format("%.1f %s", size, units[unit]);
}

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
        parts.push_back(Counted(tally.filesErased, "file", "files"));
        parts.push_back(SizeText(tally.bytesReleased));
    }
    if (tally.registryEntriesErased)
        parts.push_back(Counted(tally.registryEntriesErased, "registry entry", "registry entries"));
    if (tally.cookiesErased)
        parts.push_back(Counted(tally.cookiesErased, "cookie", "cookies"));
    if (preview.keptForSites)
        parts.push_back(Format("%u kept for sites", preview.keptForSites));
    if (preview.refused)
        parts.push_back(Format("%u refused", preview.refused));
    if (preview.wouldFail)
        parts.push_back(Format("%u would fail", preview.wouldFail));
    if (parts.empty())
        return preview.uncounted ? "uncounted" : "nothing to erase";
    return Joined(parts);
}

std::string LeftoversText(const Leftovers& left)
{
    std::vector<std::string> parts;
    if (left.inUse)
        parts.push_back(Counted(left.inUse, "file in use", "files in use"));
    if (left.denied)
        parts.push_back(GroupedNumber(left.denied) + " denied");
    if (left.other)
        parts.push_back(GroupedNumber(left.other) + " not removed");
    if (left.refused)
        parts.push_back(GroupedNumber(left.refused) + " refused");
    return Joined(parts);
}

#include "engine/files/KeepFilter.h"

#include "engine/files/FolderWalk.h"
#include "engine/files/PathTokens.h"
#include "engine/files/ResolvedPath.h"
#include "framework/Utf8.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr uint64_t kTicksPerHour = 36'000'000'000ULL;

template <typename Text>
std::vector<Text> Parts(Text path)
{
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    std::vector<Text> parts;
    size_t start = 0;
    for (size_t slash; (slash = path.find('\\', start)) != Text::npos; start = slash + 1)
        parts.push_back(path.substr(start, slash - start));
    parts.push_back(path.substr(start));
    return parts;
}

bool HasWildcard(std::string_view part)
{
    return part.find_first_of("*?") != std::string_view::npos;
}

std::string WithoutFinalBackslashes(std::string path)
{
    while (path.ends_with('\\'))
        path.pop_back();
    return path;
}

bool SameText(const std::string& a, const std::string& b)
{
    std::wstring x = ToWide(a), y = ToWide(b);
    return CompareStringOrdinal(x.data(), static_cast<int>(x.size()), y.data(), static_cast<int>(y.size()),
                                TRUE) == CSTR_EQUAL;
}

// What a wildcard part holds that the normalisation of paths would trim or change ("*." loses its dot),
// kept in private-use characters while the pattern is normalised.
const std::pair<wchar_t, wchar_t> kMasked[] = {
    {L'*', L'\uE000'}, {L'?', L'\uE001'}, {L'.', L'\uE002'}, {L' ', L'\uE003'}};

void Replace(std::wstring& text, size_t from, size_t to, bool mask)
{
    for (size_t i = from; i < to; ++i) {
        for (const auto& [plain, masked] : kMasked) {
            if (text[i] == (mask ? plain : masked)) {
                text[i] = mask ? masked : plain;
                break;
            }
        }
    }
}

// The pattern normalised as the file commands normalise their paths, its wildcard parts taken as names,
// as a folder wildcard of a parameter is matched before the folder it gives is normalised.
std::string NormalisedPattern(const std::string& pattern)
{
    std::wstring wide = ToWide(pattern);
    for (size_t start = 0; start <= wide.size();) {
        size_t end = std::min(wide.find_first_of(L"\\/", start), wide.size());
        if (std::wstring_view(wide).substr(start, end - start).find_first_of(L"*?") !=
            std::wstring_view::npos)
            Replace(wide, start, end, true);
        start = end + 1;
    }
    std::wstring normalised = ToWide(NormalisedPath(ToUtf8(wide)));
    Replace(normalised, 0, normalised.size(), false);
    return ToUtf8(normalised);
}

// The normalised pattern with the longest of its leading folders that exists replaced by where it lies,
// when links lead the way there elsewhere; else empty. Only a path below a drive or share is resolved.
std::string ResolvedPattern(const std::string& normalised)
{
    std::vector<std::string> parts = Parts(normalised);
    bool share = normalised.starts_with("\\\\");
    bool drive = normalised.size() >= 2 && normalised[1] == ':';
    size_t fewest = share ? 5 : drive ? 2 : parts.size() + 1;
    size_t fixed = std::find_if(parts.begin(), parts.end(), HasWildcard) - parts.begin();
    for (size_t count = fixed; count >= fewest; --count) {
        std::string folder = parts[0];
        for (size_t i = 1; i < count; ++i)
            folder += "\\" + parts[i];
        std::wstring final = FinalPathOf(ToExtendedPath(folder));
        if (final.empty())
            continue;
        std::string place = WithoutFinalBackslashes(FromExtendedPath(final));
        if (SameText(place, folder))
            return {};
        for (size_t i = count; i < parts.size(); ++i)
            place += "\\" + parts[i];
        return place;
    }
    return {};
}

// Where an expanded pattern or folder names: as written, normalised, and where links lead it.
std::vector<std::string> PlacesOf(const std::string& expanded)
{
    std::vector<std::string> places{NormalisedPattern(expanded)};
    std::string resolved = ResolvedPattern(places.front());
    if (!resolved.empty())
        places.push_back(std::move(resolved));
    return places;
}

// Whether two parts, either of which may hold wildcards, can name the same entry.
bool PartsMeet(const std::string& a, const std::string& b)
{
    if (SameText(a, b) || (HasWildcard(a) && HasWildcard(b)))
        return true;
    return HasWildcard(a) ? NamePattern(a).Matches(ToWide(b)) : NamePattern(b).Matches(ToWide(a));
}

// Whether what the keep pattern names can be the folder, lie inside it or hold it.
bool Meet(const std::string& keep, const std::string& folder)
{
    std::vector<std::string> kept = Parts(keep), emptied = Parts(folder);
    for (size_t i = 0; i < kept.size() && i < emptied.size(); ++i) {
        if (kept[i] == "**")
            return true;
        if (!PartsMeet(kept[i], emptied[i]))
            return false;
    }
    return true;
}

} // namespace

KeepFilter::KeepFilter(const std::vector<std::string>& keep, int olderThanHours, uint64_t now)
{
    for (const std::string& pattern : keep) {
        std::optional<std::string> expanded = ExpandPathTokens(pattern);
        if (!expanded) {
            valid_ = false;
            continue;
        }
        for (const std::string& place : PlacesOf(*expanded)) {
            std::vector<Part>& parts = patterns_.emplace_back();
            for (const std::string& part : Parts(place))
                parts.push_back({NamePattern(part), part == "**"});
        }
    }
    uint64_t age = static_cast<uint64_t>(olderThanHours) * kTicksPerHour;
    if (olderThanHours > 0)
        youngest_ = now > age ? now - age : 1;
}

bool KeepFilter::Keeps(const std::string& path, uint64_t lastWrite) const
{
    return (youngest_ != 0 && lastWrite > youngest_) || Named(path);
}

bool KeepFilter::Named(const std::string& path) const
{
    if (patterns_.empty())
        return false;
    std::vector<std::wstring> parts = Parts(ToWide(path));
    for (const std::vector<Part>& pattern : patterns_) {
        if (PartsInside(pattern, 0, parts, 0))
            return true;
    }
    return false;
}

KeepFilter::InFolder::InFolder(const KeepFilter& filter, const std::string& folder)
    : filter_(filter), walked_(WithoutFinalBackslashes(FromExtendedPath(WalkRoot(folder))))
{
    if (filter.patterns_.empty())
        return;
    std::string resolved = WithoutFinalBackslashes(FromExtendedPath(FinalPathOf(WalkRoot(folder))));
    if (!resolved.empty() && !SameText(resolved, walked_))
        resolved_ = std::move(resolved);
}

// A path below the walked folder is no link itself (the walk enters none), so it lies where the folder
// lies.
bool KeepFilter::InFolder::Keeps(const std::string& path, uint64_t lastWrite) const
{
    if (filter_.Keeps(path, lastWrite))
        return true;
    bool inFolder =
        path.starts_with(walked_) && (path.size() == walked_.size() || path[walked_.size()] == '\\');
    return !resolved_.empty() && inFolder && filter_.Named(resolved_ + path.substr(walked_.size()));
}

bool KeepCanApply(const std::string& keep, const std::vector<std::string>& folders)
{
    std::optional<std::string> expanded = ExpandPathTokens(keep);
    if (!expanded)
        return true;
    std::vector<std::string> kept = PlacesOf(*expanded);
    for (const std::string& folder : folders) {
        std::optional<std::string> target = ExpandPathTokens(folder);
        if (!target)
            return true;
        for (const std::string& place : PlacesOf(*target)) {
            for (const std::string& pattern : kept) {
                if (Meet(pattern, place))
                    return true;
            }
        }
    }
    return false;
}

uint64_t FileTimeNow()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

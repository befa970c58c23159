#include "run/EraseCounter.h"

#include "engine/RefusedTarget.h"
#include "framework/ErrorText.h"

#include <algorithm>

namespace {

const std::string& InUseText()
{
    static const std::string text = ErrorText(HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION));
    return text;
}

const std::string& LockedText()
{
    static const std::string text = ErrorText(HRESULT_FROM_WIN32(ERROR_LOCK_VIOLATION));
    return text;
}

const std::string& DeniedText()
{
    static const std::string text = ErrorText(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    return text;
}

// What an overwriting erase says of a file it left; the same words as the engine's.
const char kNotOverwrittenInUse[] = "not overwritten: in use";
const char kNotOverwrittenDenied[] = "not overwritten: access denied";

bool InUse(const std::string& reason)
{
    return reason == InUseText() || reason == LockedText() || reason == kNotOverwrittenInUse;
}

bool Denied(const std::string& reason)
{
    return reason == DeniedText() || reason == kNotOverwrittenDenied;
}

} // namespace

void EraseCounter::Entry()
{
    if (onEntry)
        onEntry();
}

void EraseCounter::OnFile(const std::string& path, uint64_t size)
{
    ++counted_.filesErased;
    counted_.bytesReleased += size;
    if (!failures_.empty())
        failures_.erase(path);
    Entry();
}

void EraseCounter::OnFolderLink(const std::string& path)
{
    links_.push_back(path);
    Entry();
}

void EraseCounter::OnRegistryEntry(const std::string&, bool)
{
    ++counted_.registryEntriesErased;
    Entry();
}

void EraseCounter::OnRecycleBin(const std::string&, uint64_t items, uint64_t bytes)
{
    counted_.filesErased += items;
    counted_.bytesReleased += bytes;
    Entry();
}

void EraseCounter::OnFailure(const std::string& path, const std::string& reason)
{
    failures_.emplace(path, reason);
    Entry();
}

void EraseCounter::OnOverwriteCaveat(const std::string& path, const std::string& note)
{
    caveats_.emplace_back(path, note);
}

void EraseCounter::OnRefused(const std::string& path)
{
    refused_.push_back(path);
    Entry();
}

void EraseCounter::OnUncounted(const std::string&)
{
    uncounted_ = true;
    Entry();
}

void EraseCounter::OnCookies(const std::string&, uint64_t count)
{
    counted_.cookiesErased += count;
    Entry();
}

void EraseCounter::OnKeptForSite(const std::string&, const std::string&)
{
    ++keptForSites_;
    Entry();
}

void EraseCounter::OnFilesHandled(uint64_t files, uint64_t bytes)
{
    handled_.filesErased += files;
    handled_.bytesReleased += bytes;
    Entry();
}

EraseTally EraseCounter::Reached() const
{
    EraseTally reached = counted_;
    reached.filesErased = std::max(counted_.filesErased, handled_.filesErased);
    reached.bytesReleased = std::max(counted_.bytesReleased, handled_.bytesReleased);
    return reached;
}

void EraseCounter::OnItemFailure(const std::string& reason)
{
    itemFailure_ = reason;
}

Leftovers EraseCounter::Left() const
{
    Leftovers left;
    left.refused = static_cast<unsigned>(refused_.size());
    for (const auto& [path, reason] : failures_) {
        if (InUse(reason))
            ++left.inUse;
        else if (Denied(reason))
            ++left.denied;
        else
            ++left.other;
    }
    return left;
}

std::vector<LeftEntry> EraseCounter::LeftEntries() const
{
    std::vector<LeftEntry> entries;
    for (const std::string& path : refused_)
        entries.push_back({"refused", path, RefusedKind(path)});
    for (const auto& [path, reason] : failures_) {
        const char* why = InUse(reason) ? "in use" : Denied(reason) ? "access denied" : "not removed";
        entries.push_back({why, path, reason});
    }
    for (const std::string& path : links_)
        entries.push_back({"link", path, "never followed: what it points to stays"});
    for (const auto& [path, note] : caveats_)
        entries.push_back({"copies may remain", path, note});
    return entries;
}

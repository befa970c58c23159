#pragma once
#include "engine/EraseMode.h"
#include "engine/EraseTally.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// What could not be removed, by why: the user can close a program that holds files, not much else.
struct Leftovers {
    unsigned inUse = 0;
    unsigned denied = 0;
    unsigned other = 0;
    unsigned refused = 0;

    unsigned Total() const { return inUse + denied + other + refused; }
};

// One thing a run left, for the user to look into: why in a word or two ("in use", "access denied",
// "refused", "link", "not removed"), where, and the system's own words or the kind of refused target.
struct LeftEntry {
    std::string why;
    std::string path;
    std::string detail;

    bool operator==(const LeftEntry&) const = default;
};

// Hears what one walk (a preview or an erase of some items) reaches and keeps what the dialogs show:
// whether some work could not be counted, and what stayed behind and why. A path deleted by a later
// pass (the browser cache is emptied twice) is no longer left over.
class EraseCounter final : public EraseListener {
public:
    // Called after every entry; the progress dialog throttles its updates here.
    std::function<void()> onEntry;

    void OnFile(const std::string& path, uint64_t size) override;
    void OnFolderLink(const std::string& path) override;
    void OnRegistryEntry(const std::string& path, bool isKey) override;
    void OnRecycleBin(const std::string& root, uint64_t items, uint64_t bytes) override;
    void OnFailure(const std::string& path, const std::string& reason) override;
    void OnRefused(const std::string& path) override;
    void OnUncounted(const std::string& what) override;
    void OnCookies(const std::string& database, uint64_t count) override;
    void OnKeptForSite(const std::string& folder, const std::string& site) override;
    void OnItemFailure(const std::string& reason) override;
    void OnFilesHandled(uint64_t files, uint64_t bytes) override;
    void OnOverwriteCaveat(const std::string& path, const std::string& note) override;

    // What the entries heard since the last reset add up to, as the tally counts them.
    const EraseTally& Counted() const { return counted_; }
    // How far the entries heard since the last reset have got: what they counted, or the files handled
    // and told later where those are more.
    EraseTally Reached() const;
    void ResetCounted()
    {
        counted_ = {};
        handled_ = {};
    }
    bool Uncounted() const { return uncounted_; }
    // The folders left whole for sites to keep.
    unsigned KeptForSites() const { return keptForSites_; }
    // Why an item heard here ended early, or empty.
    const std::string& ItemFailure() const { return itemFailure_; }
    Leftovers Left() const;
    // Each leftover: refused targets first, then what could not be removed in path order, then the links
    // that were not followed, then the overwritten files of which copies may remain.
    std::vector<LeftEntry> LeftEntries() const;

private:
    void Entry();

    EraseTally counted_;
    EraseTally handled_; // files and bytes only
    bool uncounted_ = false;
    unsigned keptForSites_ = 0;
    std::string itemFailure_;
    std::map<std::string, std::string> failures_;
    std::vector<std::string> refused_;
    std::vector<std::string> links_;
    std::vector<std::pair<std::string, std::string>> caveats_; // overwritten, deleted, copies may remain
};

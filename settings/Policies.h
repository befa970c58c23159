#pragma once
#include "settings/KeepSites.h"
#include "settings/PolicyNames.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct Settings;

// The policies an organization set for Vestrel. Read once per process; a value that cannot be read (a
// wrong type, a number out of range) counts as unset and is named in problems. Item ids that name no
// item on this PC are kept and simply never match.
class Policies {
public:
    // Reads keyPath under HKEY_CURRENT_USER, then under HKEY_LOCAL_MACHINE, whose values replace the
    // user's one by one; for one item id, the machine's tick or untick replaces the user's. Never throws.
    static Policies Read(const std::string& keyPath = kPoliciesKeyPath);

    bool Any() const;
    // The tick the organization gives the item, if any: the machine's decision, else the user level's; an
    // id in both lists of one level stays unticked.
    std::optional<bool> ForcedTick(const std::string& id) const;
    const std::map<std::string, bool>& ForcedTicks() const { return forcedTicks_; }
    // The sites the policy keeps, normalised; its problem is set when a list is there but cannot be read.
    const KeepSiteList& KeepSites() const { return keepSites_; }

    std::optional<uint32_t> enableSchedule;
    std::optional<uint32_t> eraseAtStartup;
    std::optional<uint32_t> eraseAtEvery;
    std::optional<uint32_t> erasePeriod;
    std::optional<uint32_t> secureDeletion;
    std::optional<bool> rulesImportAllowed;
    std::optional<bool> pluginChangesAllowed;
    std::optional<bool> commandLineEraseAllowed;

    // Importing rules writes plug-ins, so either refusal stops it.
    bool MayImportRules() const { return rulesImportAllowed.value_or(true) && MayChangePlugins(); }
    bool MayChangePlugins() const { return pluginChangesAllowed.value_or(true); }
    bool MayEraseFromCommandLine() const { return commandLineEraseAllowed.value_or(true); }

    // Replaces the settings the schedule and secure-deletion policies name.
    void ApplyTo(Settings& settings) const;
    // The names of the values that are set, in a fixed order, for vestrel-cli's list.
    std::vector<std::string> ManagedNames() const;

    // One line per unreadable value, for the record file.
    std::vector<std::string> problems;

private:
    std::vector<std::string> ticked_;
    std::vector<std::string> unticked_;
    KeepSiteList keepSites_;
    std::map<std::string, bool> forcedTicks_;
};

// The process's policies, read at the first call.
const Policies& ProcessPolicies();
// Writes the policies' problems to the record file; each process does so once, where it reads them.
void RecordPolicyProblems(const Policies& policies, const std::string& recordPath);

#include "settings/Policies.h"

#include "framework/ErrorText.h"
#include "framework/RegKey.h"
#include "framework/Utf8.h"
#include "settings/KeepSites.h"
#include "settings/RecordLog.h"
#include "settings/Schedule.h"
#include "settings/Settings.h"

#include <windows.h>

#include <algorithm>

namespace {

// A policy list longer than this is no list an administrator typed.
constexpr DWORD kMaxListBytes = 1 << 20;

// Reads one policy key; what it cannot use it names in problems.
class PolicyKeyReader {
public:
    PolicyKeyReader(HKEY root, const char* rootName, const std::string& keyPath,
                    std::vector<std::string>& problems)
        : where_(std::string(rootName) + "\\" + keyPath), problems_(problems)
    {
        LONG status = key_.Open(root, keyPath, KEY_READ);
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            unreadable_ = where_ + " cannot be read: " + ErrorText(HRESULT_FROM_WIN32(status));
    }

    // Why the key is there but cannot be read, or empty: whatever it holds is unknown.
    const std::string& Unreadable() const { return unreadable_; }

    // A DWORD no larger than highest; otherwise unchanged.
    void Number(std::optional<uint32_t>& value, const char* name, uint32_t highest)
    {
        DWORD type = 0, data = 0, size = 0;
        if (!Query(name, &type, nullptr, &size))
            return;
        // Asked for its size first: a longer value read into four bytes would fail like a missing one.
        bool read = type == REG_DWORD && size == sizeof data &&
                    Query(name, &type, reinterpret_cast<BYTE*>(&data), &size);
        if (!read || data > highest)
            return Refuse(name, "a DWORD from 0 to " + std::to_string(highest));
        value = data;
    }

    void Switch(std::optional<bool>& value, const char* name)
    {
        std::optional<uint32_t> number;
        Number(number, name, 1);
        if (number)
            value = *number != 0;
    }

    // The non-empty strings of a REG_MULTI_SZ (or, where oneString, of a REG_SZ as a list of one);
    // otherwise unchanged. False when the value is there but cannot be read as such a list.
    bool List(std::vector<std::string>& value, const char* name, bool oneString = false)
    {
        DWORD type = 0, size = 0;
        if (!Query(name, &type, nullptr, &size))
            return true;
        bool listType = type == REG_MULTI_SZ || (oneString && type == REG_SZ);
        if (!listType || size > kMaxListBytes) {
            Refuse(name, oneString ? "a list of strings (REG_MULTI_SZ, or one REG_SZ)"
                                   : "a list of strings (REG_MULTI_SZ)");
            return false;
        }
        std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
        if (!Query(name, &type, reinterpret_cast<BYTE*>(data.data()), &size))
            return false;
        data.resize(size / sizeof(wchar_t));
        value.clear();
        for (size_t start = 0; start < data.size();) {
            size_t end = std::min(data.find(L'\0', start), data.size());
            if (end > start)
                value.push_back(ToUtf8(data.substr(start, end - start)));
            start = end + 1;
        }
        return true;
    }

    void Ignore(const char* name, const std::string& entry, const std::string& why)
    {
        problems_.push_back("Policy " + where_ + "\\" + name + ": the entry \"" + entry +
                            "\" is ignored: " + why + ".");
    }

    std::string Where(const char* name) const { return where_ + "\\" + name; }

private:
    bool Query(const char* name, DWORD* type, BYTE* data, DWORD* size) const
    {
        return key_ &&
               RegQueryValueExW(key_.get(), ToWide(name).c_str(), nullptr, type, data, size) == ERROR_SUCCESS;
    }

    void Refuse(const char* name, const std::string& expected)
    {
        problems_.push_back("Policy " + where_ + "\\" + name + " is ignored: it must be " + expected + ".");
    }

    std::string where_;
    std::vector<std::string>& problems_;
    RegKey key_;
    std::string unreadable_;
};

// One level's decisions: within it, an id in both lists stays unticked.
std::map<std::string, bool> LevelTicks(const std::vector<std::string>& ticked,
                                       const std::vector<std::string>& unticked)
{
    std::map<std::string, bool> ticks;
    for (const std::string& id : ticked)
        ticks[id] = true;
    for (const std::string& id : unticked)
        ticks[id] = false;
    return ticks;
}

template <typename Value>
void Note(std::vector<std::string>& managed, const Value& value, const char* name)
{
    if (value)
        managed.push_back(name);
}

// A policy key that cannot be read may hold a list of sites to keep, and so may a value of another type:
// either leaves the list unknown, not empty. Entries that are no host names are named and ignored.
void ReadKeepSitesPolicy(PolicyKeyReader& reader, KeepSiteList& keepSites)
{
    if (!reader.Unreadable().empty() && keepSites.problem.empty())
        keepSites.problem = "the sites to keep cannot be read: the policy key " + reader.Unreadable();
    std::vector<std::string> names;
    if (!reader.List(names, kKeepSitesPolicy, true)) {
        keepSites.problem = "the sites to keep cannot be read: the policy " + reader.Where(kKeepSitesPolicy) +
                            " is no list of host names (REG_MULTI_SZ)";
        return;
    }
    if (names.empty())
        return;
    KeepSiteList list = NormalisedSites(names);
    for (const std::string& entry : list.ignored)
        reader.Ignore(kKeepSitesPolicy, entry, "it is no host name");
    list.problem = keepSites.problem;
    keepSites = std::move(list);
}

} // namespace

// The user's level first, then the machine's, whose values replace the user's one by one; for an item id,
// the machine's decision replaces the user's.
Policies Policies::Read(const std::string& keyPath)
{
    Policies policies;
    try {
        const std::pair<HKEY, const char*> roots[] = {{HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
                                                      {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"}};
        for (const auto& [root, rootName] : roots) {
            PolicyKeyReader reader(root, rootName, keyPath, policies.problems);
            std::vector<std::string> ticked, unticked;
            reader.List(ticked, kTickedItemsPolicy);
            reader.List(unticked, kUntickedItemsPolicy);
            for (const auto& [id, tick] : LevelTicks(ticked, unticked))
                policies.forcedTicks_[id] = tick;
            policies.ticked_.insert(policies.ticked_.end(), ticked.begin(), ticked.end());
            policies.unticked_.insert(policies.unticked_.end(), unticked.begin(), unticked.end());
            ReadKeepSitesPolicy(reader, policies.keepSites_);
            reader.Number(policies.enableSchedule, kEnableSchedulePolicy, 1);
            reader.Number(policies.eraseAtStartup, kEraseAtStartupPolicy, 1);
            reader.Number(policies.eraseAtEvery, kEraseAtEveryPolicy, 1);
            reader.Number(policies.erasePeriod, kErasePeriodPolicy, kSchedulePeriodCount - 1);
            reader.Number(policies.secureDeletion, kSecureDeletionPolicy, 1);
            reader.Switch(policies.rulesImportAllowed, kAllowRulesImportPolicy);
            reader.Switch(policies.pluginChangesAllowed, kAllowPluginChangesPolicy);
            reader.Switch(policies.commandLineEraseAllowed, kAllowCommandLineErasePolicy);
            if (!reader.Unreadable().empty())
                policies.problems.push_back("Policies in " + reader.Unreadable());
        }
    } catch (...) {
        // Out of memory at most: the program runs on without policies.
    }
    return policies;
}

bool Policies::Any() const
{
    return !ManagedNames().empty();
}

std::optional<bool> Policies::ForcedTick(const std::string& id) const
{
    auto found = forcedTicks_.find(id);
    if (found == forcedTicks_.end())
        return std::nullopt;
    return found->second;
}

void Policies::ApplyTo(Settings& settings) const
{
    settings.enableSchedule = enableSchedule.value_or(settings.enableSchedule);
    settings.eraseAtStartup = eraseAtStartup.value_or(settings.eraseAtStartup);
    settings.eraseAtEvery = eraseAtEvery.value_or(settings.eraseAtEvery);
    settings.erasePeriod = erasePeriod.value_or(settings.erasePeriod);
    settings.secureDeletion = secureDeletion.value_or(settings.secureDeletion);
}

std::vector<std::string> Policies::ManagedNames() const
{
    std::vector<std::string> names;
    Note(names, !ticked_.empty(), kTickedItemsPolicy);
    Note(names, !unticked_.empty(), kUntickedItemsPolicy);
    Note(names, !keepSites_.sites.empty() || !keepSites_.problem.empty(), kKeepSitesPolicy);
    Note(names, enableSchedule, kEnableSchedulePolicy);
    Note(names, eraseAtStartup, kEraseAtStartupPolicy);
    Note(names, eraseAtEvery, kEraseAtEveryPolicy);
    Note(names, erasePeriod, kErasePeriodPolicy);
    Note(names, secureDeletion, kSecureDeletionPolicy);
    Note(names, rulesImportAllowed, kAllowRulesImportPolicy);
    Note(names, pluginChangesAllowed, kAllowPluginChangesPolicy);
    Note(names, commandLineEraseAllowed, kAllowCommandLineErasePolicy);
    return names;
}

const Policies& ProcessPolicies()
{
    static const Policies policies = Policies::Read();
    return policies;
}

void RecordPolicyProblems(const Policies& policies, const std::string& recordPath)
{
    if (policies.problems.empty())
        return;
    RecordLog log(recordPath);
    for (const std::string& problem : policies.problems)
        log.Write(problem);
}

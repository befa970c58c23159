#include "settings/Policies.h"

#include "framework/RegKey.h"
#include "framework/Utf8.h"
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
        key_.Open(root, keyPath, KEY_READ);
    }

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

    // The non-empty strings of a REG_MULTI_SZ; otherwise unchanged.
    void List(std::vector<std::string>& value, const char* name)
    {
        DWORD type = 0, size = 0;
        if (!Query(name, &type, nullptr, &size))
            return;
        if (type != REG_MULTI_SZ || size > kMaxListBytes)
            return Refuse(name, "a list of strings (REG_MULTI_SZ)");
        std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
        if (!Query(name, &type, reinterpret_cast<BYTE*>(data.data()), &size))
            return;
        value.clear();
        for (size_t start = 0; start < data.size();) {
            size_t end = std::min(data.find(L'\0', start), data.size());
            if (end > start)
                value.push_back(ToUtf8(data.substr(start, end - start)));
            start = end + 1;
        }
    }

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
};

template <typename Value>
void Note(std::vector<std::string>& managed, const Value& value, const char* name)
{
    if (value)
        managed.push_back(name);
}

} // namespace

Policies Policies::Read(const std::string& keyPath)
{
    Policies policies;
    try {
        const std::pair<HKEY, const char*> roots[] = {{HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
                                                      {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"}};
        for (const auto& [root, rootName] : roots) {
            PolicyKeyReader reader(root, rootName, keyPath, policies.problems);
            reader.List(policies.ticked_, kTickedItemsPolicy);
            reader.List(policies.unticked_, kUntickedItemsPolicy);
            reader.List(policies.keepSites_, kKeepSitesPolicy);
            reader.Number(policies.enableSchedule, kEnableSchedulePolicy, 1);
            reader.Number(policies.eraseAtStartup, kEraseAtStartupPolicy, 1);
            reader.Number(policies.eraseAtEvery, kEraseAtEveryPolicy, 1);
            reader.Number(policies.erasePeriod, kErasePeriodPolicy, kSchedulePeriodCount - 1);
            reader.Number(policies.secureDeletion, kSecureDeletionPolicy, 1);
            reader.Switch(policies.rulesImportAllowed, kAllowRulesImportPolicy);
            reader.Switch(policies.pluginChangesAllowed, kAllowPluginChangesPolicy);
            reader.Switch(policies.commandLineEraseAllowed, kAllowCommandLineErasePolicy);
        }
        for (const std::string& id : policies.ticked_)
            policies.forcedTicks_[id] = true;
        for (const std::string& id : policies.unticked_)
            policies.forcedTicks_[id] = false;
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
    Note(names, !keepSites_.empty(), kKeepSitesPolicy);
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

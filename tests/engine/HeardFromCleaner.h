#pragma once
#include "engine/EraseMode.h"

#include <string>
#include <vector>

// What a cleaner told its listener: the paths that failed, with their reasons, and what it could not count.
class HeardFromCleaner final : public EraseListener {
public:
    void OnFile(const std::string&, uint64_t) override {}
    void OnFolderLink(const std::string&) override {}
    void OnRegistryEntry(const std::string&, bool) override {}
    void OnRecycleBin(const std::string&, uint64_t, uint64_t) override {}
    void OnFailure(const std::string& path, const std::string& reason) override
    {
        failures.push_back(path + ": " + reason);
    }
    void OnRefused(const std::string&) override {}
    void OnUncounted(const std::string& what) override { said.push_back(what); }

    std::vector<std::string> failures; // "path: reason"
    std::vector<std::string> said;
};

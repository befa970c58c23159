#pragma once
#include <cstdint>
#include <string>

// Whether the deletion paths delete, or only walk what an erase would delete, by the same rules.
enum class EraseMode { Erase, Preview };

// Hears, entry by entry, what a deletion path reaches: in an erase what went and what could not, in a
// preview what an erase would take and what it could not open for deletion now. Paths are as the user
// would write them (no \\?\ prefix). Counted entries are exactly those the tally counts.
class EraseListener {
public:
    virtual void OnFile(const std::string& path, uint64_t size) = 0;
    // A link, to a folder or a file elsewhere: never followed, not counted, and the link itself removed
    // when the file system lets it.
    virtual void OnFolderLink(const std::string& path) = 0;
    virtual void OnRegistryEntry(const std::string& path, bool isKey) = 0;
    virtual void OnRecycleBin(const std::string& root, uint64_t items, uint64_t bytes) = 0;
    // Something an erase tried, or would try, and could not delete, with the system's reason.
    virtual void OnFailure(const std::string& path, const std::string& reason) = 0;
    // A target the rules refuse to work in: a drive root, a protected folder or a parent of one.
    virtual void OnRefused(const std::string& path) = 0;
    // Work whose effect nobody can count, in words: it is done on an erase but counts nothing there.
    virtual void OnUncounted(const std::string& what) = 0;

protected:
    ~EraseListener() = default;
};

// How a deletion path runs: its mode and who hears about each entry (nobody, by default).
struct EraseOptions {
    EraseMode mode = EraseMode::Erase;
    EraseListener* listener = nullptr;

    bool Preview() const { return mode == EraseMode::Preview; }
    // The listener, or one that ignores everything.
    EraseListener& Listener() const;
};

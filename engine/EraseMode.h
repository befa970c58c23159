#pragma once
#include <atomic>
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
    // The cookies of sites not kept that went from (or, in a preview, would go from) one cookie database
    // that stays; counted as cookies, the file not as a file.
    virtual void OnCookies(const std::string& /*database*/, uint64_t /*count*/) {}
    // A folder left whole because a site the user keeps has data in it: the site's own store, or a store
    // of every site that cannot be edited. Not counted.
    virtual void OnKeptForSite(const std::string& /*folder*/, const std::string& /*site*/) {}
    virtual void OnRecycleBin(const std::string& root, uint64_t items, uint64_t bytes) = 0;
    // Something an erase tried, or would try, and could not delete, with the system's reason.
    virtual void OnFailure(const std::string& path, const std::string& reason) = 0;
    // A target the rules refuse to work in: a drive root, a protected folder or a parent of one, or a
    // protected registry key (a registry path, which starts with its root key's name).
    virtual void OnRefused(const std::string& path) = 0;
    // Work whose effect nobody can count, in words: it is done on an erase but counts nothing there.
    virtual void OnUncounted(const std::string& what) = 0;
    // A program of a "run" item that could not be started or did not finish in time: a failure, which an
    // erase run also writes to its record file.
    virtual void OnProgramFailure(const std::string& program, const std::string& reason)
    {
        OnFailure(program, reason);
    }
    // A folder that is there but could not be listed (the user may not list it, for example), so that
    // nothing in it was reached: a failure, which an erase run also writes to its record file.
    virtual void OnUnlistedFolder(const std::string& folder, const std::string& reason)
    {
        OnFailure(folder, reason);
    }
    // A file a cleaner would edit in place (a browser database, a settings file) that is not the entry its
    // path names or has other names, so that the edit would reach data no item names: left untouched, a
    // failure, which an erase run also writes to its record file.
    virtual void OnRefusedEdit(const std::string& path, const std::string& reason)
    {
        OnFailure(path, reason);
    }
    // A file an overwriting erase left because it could not be overwritten first ("not overwritten: in
    // use"): a failure, which an erase run also writes to its record file.
    virtual void OnNotOverwritten(const std::string& path, const std::string& reason)
    {
        OnFailure(path, reason);
    }
    // A file counted as deleted, overwritten first, whose bytes may still have copies on the disk that
    // the overwrite could not reach ("overwritten, copies may remain (compressed)"). Told after OnFile.
    virtual void OnOverwriteCaveat(const std::string& /*path*/, const std::string& /*note*/) {}
    // An item that did nothing at all, and why ("skipped: Chrome is running"). Listeners that show no
    // reasons may leave it out.
    virtual void OnSkipped(const std::string& /*reason*/) {}
    // Files a walk has handled (deleted, left, or in a preview looked at) but tells only later, folder by
    // folder: lets a progress bar move inside a folder of thousands of files. Counts nothing.
    virtual void OnFilesHandled(uint64_t /*files*/, uint64_t /*bytes*/) {}
    // The free space of a drive that a wipe overwrites (or, in a preview, would overwrite) with zeros, in
    // bytes, told before the writing starts; the bytes written then come as files handled. Counts nothing:
    // a wipe releases no space.
    virtual void OnFreeSpace(const std::string& /*root*/, uint64_t /*bytes*/) {}
    // A failure inside the item that ended it before its last parameter (running out of memory, a walk
    // that broke), in words. What it counted until then stays counted.
    virtual void OnItemFailure(const std::string& /*reason*/) {}

protected:
    ~EraseListener() = default;
};

// Hears nothing; derive to hear only some of it.
class SilentListener : public EraseListener {
public:
    void OnFile(const std::string&, uint64_t) override {}
    void OnFolderLink(const std::string&) override {}
    void OnRegistryEntry(const std::string&, bool) override {}
    void OnRecycleBin(const std::string&, uint64_t, uint64_t) override {}
    void OnFailure(const std::string&, const std::string&) override {}
    void OnRefused(const std::string&) override {}
    void OnUncounted(const std::string&) override {}
};

// What a deletion path leaves alone although its pattern reaches it: neither deleted nor counted nor told.
class EntryFilter {
public:
    // path as the user would write it; lastWrite in 100-nanosecond steps since 1601, 0 for a folder.
    virtual bool Keeps(const std::string& path, uint64_t lastWrite) const = 0;

protected:
    ~EntryFilter() = default;
};

// How a deletion path runs: its mode, who hears about each entry (nobody, by default), what it keeps
// (nothing, by default) and, set by the command executor for the item it runs, the run's stop request,
// the Windows version the form-data cleaner picks its stores by and whether files are overwritten.
struct EraseOptions {
    EraseMode mode = EraseMode::Erase;
    EraseListener* listener = nullptr;
    const EntryFilter* filter = nullptr;
    const std::atomic<bool>* stop = nullptr;
    double windowsVersion = 0;
    // Every file deleted is overwritten first, and renamed; one that cannot be overwritten is left.
    bool secureDeletion = false;

    bool Preview() const { return mode == EraseMode::Preview; }
    // Whether whoever started the work asks it to end before its next entry.
    bool StopRequested() const { return stop && stop->load(); }
    // The listener, or one that ignores everything.
    EraseListener& Listener() const
    {
        static SilentListener silent;
        return listener ? *listener : silent;
    }
};

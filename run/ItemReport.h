#pragma once
#include "engine/EraseMode.h"
#include "engine/EraseTally.h"

#include <cstdint>
#include <string>
#include <vector>

class EraseItem;

struct FileEntry {
    std::string path;
    uint64_t size = 0;     // the whole size; the tally counts its low 32 bits, as the statistics do
    std::string note = {}; // of an overwritten file whose bytes may have copies elsewhere on the disk
};

struct RegistryEntry {
    std::string path;
    bool isKey = false;
};

struct RecycleBinEntry {
    std::string root;
    uint64_t items = 0;
    uint64_t bytes = 0;
};

struct CookieDatabase {
    std::string path;
    uint64_t cookies = 0; // of sites not kept: gone, or in a preview to go
};

struct KeptFolder {
    std::string folder;
    std::string site;
};

// A drive whose free space a wipe overwrites, and how much it had.
struct FreeSpaceEntry {
    std::string root;
    uint64_t bytes = 0;
};

struct Failure {
    std::string path;
    std::string reason;
};

// What one item's execution reached, in the order it reached it, and what it counted.
struct ItemReport {
    std::string id;
    std::string descript;
    std::string type;
    std::string warning; // the plug-in's own words on what else the item takes
    std::vector<FileEntry> files;
    std::vector<std::string> folderLinks;
    std::vector<RegistryEntry> registryEntries;
    std::vector<RecycleBinEntry> recycleBins;
    std::vector<CookieDatabase> cookieDatabases;
    std::vector<KeptFolder> keptForSites;
    std::vector<FreeSpaceEntry> freeSpace;
    std::vector<Failure> failures;
    std::vector<std::string> refused;
    std::vector<std::string> uncounted;
    std::vector<std::string> skipped; // why the item did nothing
    std::string failure;              // why the item ended early, or empty
    EraseTally tally;
    bool overwrite = false; // its files are overwritten before they go: a preview lists them "to overwrite"
};

// A report of the item that names it and holds nothing reached yet.
ItemReport ReportFor(const EraseItem& item);

// One line of what an item reached, as the preview lists it: its kind ("file", "value", "would fail"...),
// its size or count where it has one, and what it names.
struct ReportLine {
    std::string kind;
    std::string size;
    std::string what;
};
// Every line of the item, in the order kinds are listed; failures are "would fail" in a preview.
std::vector<ReportLine> ReportLines(const ItemReport& item, EraseMode mode);

// Collects what the deletion paths tell into one item's report. A file that a later pass deletes (the
// browser cache is emptied twice) is no longer a failure; one that fails twice is listed once.
class ItemRecorder final : public EraseListener {
public:
    // The failed programs, the folders that could not be listed, the files refused for an edit in place,
    // the cookies cleared from a database, the folders kept for a site and what an overwriting erase left
    // or could not be sure of are told to recordWriter as well.
    explicit ItemRecorder(ItemReport& report, EraseListener& recordWriter = EraseOptions{}.Listener())
        : report_(report), recordWriter_(recordWriter)
    {
    }

    void OnFile(const std::string& path, uint64_t size) override;
    void OnFolderLink(const std::string& path) override;
    void OnRegistryEntry(const std::string& path, bool isKey) override;
    void OnRecycleBin(const std::string& root, uint64_t items, uint64_t bytes) override;
    void OnFailure(const std::string& path, const std::string& reason) override;
    void OnRefused(const std::string& path) override;
    void OnUncounted(const std::string& what) override;
    void OnCookies(const std::string& database, uint64_t count) override;
    void OnKeptForSite(const std::string& folder, const std::string& site) override;
    void OnFreeSpace(const std::string& root, uint64_t bytes) override;
    void OnProgramFailure(const std::string& program, const std::string& reason) override;
    void OnUnlistedFolder(const std::string& folder, const std::string& reason) override;
    void OnRefusedEdit(const std::string& path, const std::string& reason) override;
    void OnNotOverwritten(const std::string& path, const std::string& reason) override;
    void OnOverwriteCaveat(const std::string& path, const std::string& note) override;
    void OnSkipped(const std::string& reason) override;
    void OnItemFailure(const std::string& reason) override;

private:
    ItemReport& report_;
    EraseListener& recordWriter_;
};

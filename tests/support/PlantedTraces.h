#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Files and registry entries that a test plants where the cleaners look for them: in the prefix's own
// user profile and registry. Everything it planted, and every folder and key it had to create for that,
// is removed again on destruction; nothing that was there before is touched.
class PlantedTraces {
public:
    PlantedTraces() = default;
    PlantedTraces(const PlantedTraces&) = delete;
    PlantedTraces& operator=(const PlantedTraces&) = delete;
    ~PlantedTraces();

    // An absolute path; the folders on its way are created as needed. False when it cannot be written.
    bool File(const std::string& path, size_t bytes);
    bool Folder(const std::string& path);
    // A key path relative to the root, created with the keys on its way.
    bool Key(HKEY root, const std::string& path);
    bool Value(HKEY root, const std::string& keyPath, const std::string& name, const std::string& text);

    static bool FileExists(const std::string& path);
    static bool KeyExists(HKEY root, const std::string& path);
    static bool ValueExists(HKEY root, const std::string& keyPath, const std::string& name);

private:
    struct PlantedValue {
        HKEY root;
        std::string keyPath;
        std::string name;
    };

    std::vector<std::string> files_;
    std::vector<std::string> folders_; // in the order created: parents first
    std::vector<std::pair<HKEY, std::string>> keys_;
    std::vector<PlantedValue> values_;
};

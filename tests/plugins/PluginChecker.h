#pragma once
#include "engine/files/ProtectedFolders.h"
#include "engine/items/EraseItem.h"

#include <string>
#include <vector>

// Checks plug-in files the way a careful reviewer would: what the reader accepts is not yet enough for a
// file that Vestrel ships. Each problem is one line of text naming the file, for a test to show.
class PluginChecker {
public:
    // File paths are checked against these protected folders after token expansion.
    explicit PluginChecker(ProtectedFolders protectedFolders);

    // Every "*.aep" file directly in the folder, read for each of the Windows versions; also checks that
    // ids and descriptions are unique across the files. No file at all is a problem too.
    std::vector<std::string> CheckFolder(const std::string& folder,
                                         const std::vector<double>& versions) const;

    // One file: it loads on each version, its variants are well named, and each loaded item passes
    // CheckItem.
    std::vector<std::string> CheckFile(const std::string& path, const std::vector<double>& versions) const;

    // One loaded item: type, command, and every parameter as its command reads it.
    std::vector<std::string> CheckItem(const EraseItem& item) const;

private:
    std::string CheckParameter(const std::string& command, const std::string& parameter) const;
    std::string CheckFilePath(const std::string& command, const std::string& path) const;

    ProtectedFolders protectedFolders_;
};

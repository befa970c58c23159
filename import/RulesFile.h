#pragma once
#include <string>
#include <vector>

// One "key=value" line of a rules file entry.
struct RulesLine {
    std::string key;
    std::string value;
    int line = 0;
};

// One [section] of a rules file: a cleaning entry for one program.
struct RulesEntry {
    std::string section; // as written between the brackets
    std::string name;    // without the customary " *" at its end
    int line = 0;
    std::vector<RulesLine> keys;
    std::string syntaxError; // why the entry cannot be read; empty when it can
};

// A rules file read whole: its entries in file order, or why the file is not
// one.
struct RulesFile {
    std::vector<RulesEntry> entries;
    std::string error; // empty when the file could be read
};

// Files above this size are refused before they are read.
constexpr unsigned long long kMaxRulesFileBytes = 16ull * 1024 * 1024;
// No line of a real rules file comes near this; a longer one means the file is
// something else.
constexpr size_t kMaxRulesLineBytes = 64 * 1024;

// Reads a rules file (UTF-8, with or without its byte-order mark, or the ANSI
// code page).
RulesFile ReadRulesFile(const std::string& path);
// Splits the text of a rules file into entries.
RulesFile ParseRules(std::string text);
// The name as users know an entry of this [section]: the customary " *" that marks an added entry is not
// part of it.
std::string RulesEntryName(const std::string& section);

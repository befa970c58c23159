#pragma once
#include <map>
#include <string>
#include <vector>

// Prefix of the ids and file names of imported plug-ins.
inline constexpr char kImportedPrefix[] = "winapp2-";

// The imported plug-ins of a folder by id, each with the name of the entry it was made from (lower-cased,
// as names are compared), read from its head; an empty name for one whose head names no entry.
std::map<std::string, std::string> ImportedOwners(const std::string& pluginFolder);

// The id of each entry name (all names of one import, each once), so that a tick never passes from one
// entry to another: a name keeps the id it was given before; a new one takes its plain id (the prefix and
// its letters and digits) unless another entry owns that id, or another new name of the import makes the
// same one and this name is not the one the plain id spells; else its plain id with a hash of the name. A name whose every id is owned by another entry
// gets none (an empty text).
std::map<std::string, std::string> AssignImportedIds(const std::vector<std::string>& names,
                                                     const std::map<std::string, std::string>& owners);

// The head sentence of the plug-in made from the entry [section] of a rules file, from which
// ImportedOwners reads the entry again.
std::string ImportedHead(const std::string& fileName, const std::string& section);

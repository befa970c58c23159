#include "import/RulesTranslation.h"

#include "engine/files/FileSystemEraser.h"
#include "engine/files/KeepFilter.h"
#include "engine/files/PathTokens.h"
#include "engine/files/ProtectedFolders.h"
#include "engine/registry/ProtectedKeys.h"
#include "framework/Format.h"
#include "framework/LowerCase.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>

namespace {

// Why the entry being translated is skipped.
struct Skip {
    std::string reason;
};

// Why one key of the entry is refused for where it reaches; the entry's other keys still count.
struct Refused {
    std::string reason;
};

// The rules file's path variables (its own and the Windows environment's that
// rules files use) and the plug-in tokens for the same folders. Both Program
// Files folders hold programs of either kind, so the one variable stands for both.
const std::map<std::string, std::vector<std::string>> kVariables = {
    {"%appdata%", {"%appdata%"}},
    {"%localappdata%", {"%localappdata%"}},
    {"%locallowappdata%", {"%localappdatalow%"}},
    {"%localappdatalow%", {"%localappdatalow%"}},
    {"%programfiles%", {"%programfiles%", "%programfilesx86%"}},
    {"%programw6432%", {"%programfiles%"}},
    {"%programfiles(x86)%", {"%programfilesx86%"}},
    {"%commonprogramfiles%", {"%commonprogramfiles%", "%commonprogramfilesx86%"}},
    {"%commonprogramw6432%", {"%commonprogramfiles%"}},
    {"%commonprogramfiles(x86)%", {"%commonprogramfilesx86%"}},
    {"%commonappdata%", {"%programdata%"}},
    {"%programdata%", {"%programdata%"}},
    {"%allusersprofile%", {"%programdata%"}},
    {"%userprofile%", {"%userhome%"}},
    {"%windir%", {"%windir%"}},
    {"%systemroot%", {"%windir%"}},
    {"%systemdrive%", {"%systemdrive%"}},
    {"%documents%", {"%documents%"}},
    {"%desktop%", {"%desktop%"}},
    {"%pictures%", {"%pictures%"}},
    {"%music%", {"%music%"}},
    {"%video%", {"%videos%"}},
    {"%videos%", {"%videos%"}},
    {"%downloads%", {"%downloads%"}},
    {"%public%", {"%public%"}},
    {"%temp%", {"%temp%"}},
    {"%tmp%", {"%temp%"}},
};

const std::map<std::string, std::string> kRegistryRoots = {
    {"HKCU", "HKEY_CURRENT_USER"},   {"HKEY_CURRENT_USER", "HKEY_CURRENT_USER"},
    {"HKLM", "HKEY_LOCAL_MACHINE"},  {"HKEY_LOCAL_MACHINE", "HKEY_LOCAL_MACHINE"},
    {"HKCR", "HKEY_CLASSES_ROOT"},   {"HKEY_CLASSES_ROOT", "HKEY_CLASSES_ROOT"},
    {"HKU", "HKEY_USERS"},           {"HKEY_USERS", "HKEY_USERS"},
    {"HKCC", "HKEY_CURRENT_CONFIG"}, {"HKEY_CURRENT_CONFIG", "HKEY_CURRENT_CONFIG"},
};

// The sections of the cleaners the format was made for, by their LangSecRef
// number.
const std::map<std::string, std::string> kGroups = {
    {"3021", "Applications"},  {"3022", "Internet"},    {"3023", "Multimedia"},    {"3024", "Utilities"},
    {"3025", "Windows"},       {"3026", "Firefox"},     {"3027", "Opera"},         {"3028", "Safari"},
    {"3029", "Google Chrome"}, {"3030", "Thunderbird"}, {"3031", "Windows Store"},
};

// The Windows versions before 10 that plug-in variants can name; 10 stands for
// 10 and 11 alike.
const std::pair<double, const char*> kOlderVersions[] = {{6.1, "6.1"}, {6.2, "6.2"}, {6.3, "6.3"}};

const size_t kMaxParameterLength = 500;

std::string Upper(std::string text)
{
    for (char& c : text)
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return text;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    for (size_t start = 0;;) {
        size_t end = text.find(separator, start);
        std::string part = text.substr(start, end - start);
        size_t first = part.find_first_not_of(" \t");
        size_t last = part.find_last_not_of(" \t");
        parts.push_back(first == std::string::npos ? std::string() : part.substr(first, last - first + 1));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

std::vector<std::string> Patterns(const std::string& list, const std::string& key)
{
    std::vector<std::string> patterns;
    for (const std::string& pattern : Split(list, ';')) {
        if (pattern.find_first_of("\\/") != std::string::npos)
            throw Skip{key + ": the file pattern " + pattern + " names a folder"};
        if (!pattern.empty())
            patterns.push_back(pattern);
    }
    if (patterns.empty())
        throw Skip{key + " names no file pattern"};
    return patterns;
}

bool HasWildcard(const std::string& part)
{
    return part.find_first_of("*?") != std::string::npos;
}

// The path with the rules file's variable replaced by the plug-in token(s) for
// it.
std::vector<std::string> PluginPaths(std::string path, const std::string& key)
{
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    std::string token;
    std::string rest = path;
    if (path.starts_with('%')) {
        size_t end = path.find('%', 1);
        token = LowerCase(path.substr(0, end == std::string::npos ? path.size() : end + 1));
        rest = end == std::string::npos ? std::string() : path.substr(end + 1);
    } else if (path.size() < 3 || path[1] != ':' || path[2] != '\\') {
        throw Skip{key + ": " + path + " is not a full path"};
    }
    auto variable = kVariables.find(token);
    if ((!token.empty() && variable == kVariables.end()) || rest.find('%') != std::string::npos)
        throw Skip{key + ": unknown variable in " + path};
    if (!rest.empty() && !rest.starts_with('\\'))
        throw Skip{key + ": " + path + " has no backslash after its variable"};
    if (token.empty())
        return {path};
    std::vector<std::string> paths;
    for (const std::string& replacement : variable->second)
        paths.push_back(replacement + rest);
    return paths;
}

// A pattern that names files by more than wildcards (acrobat*.log, *.log), which may be taken directly in
// a folder that must not be emptied, as a named file may.
bool IsNarrow(const std::string& pattern)
{
    return pattern.find_first_not_of("*?.") != std::string::npos;
}

// Whether file commands may work in the folder a plug-in path names. A folder
// part with wildcards is checked by the eraser for every folder it matches;
// here only a bare "*" directly below a refused folder, which would take every
// folder in it, is refused. In a refused folder itself, only narrow patterns
// that reach no subfolder may work, as the eraser allows them.
void CheckFolder(const std::string& pluginPath, const std::vector<std::string>& patterns, bool reachesBelow,
                 const std::string& key, const ImportChecks& checks)
{
    std::optional<std::string> expanded = checks.expandPath(pluginPath);
    if (!expanded || expanded->starts_with('%'))
        return; // such a parameter does nothing on this system
    const std::string& folder = *expanded;
    std::vector<std::string> parts = Split(folder, '\\');
    auto wild = std::find_if(parts.begin(), parts.end(), HasWildcard);
    std::string checked = folder;
    if (wild != parts.end()) {
        bool takesAll = wild + 1 == parts.end() && wild->find_first_not_of("*?.") == std::string::npos;
        if (!takesAll)
            return;
        checked.clear();
        for (auto part = parts.begin(); part != wild; ++part)
            checked += *part + "\\";
    }
    if (!checks.refusesFolder(checked))
        return;
    bool narrow =
        wild == parts.end() && !reachesBelow && std::all_of(patterns.begin(), patterns.end(), IsNarrow);
    if (!narrow || !checks.allowsNarrowPattern(checked))
        throw Refused{key + ": " + pluginPath + " is or holds a protected folder"};
}

// The key with its root written out in full.
std::string FullKey(const std::string& key, const std::string& name)
{
    std::vector<std::string> parts = Split(key, '\\');
    while (parts.size() > 1 && parts.back().empty())
        parts.pop_back();
    auto root = kRegistryRoots.find(Upper(parts.front()));
    if (root == kRegistryRoots.end())
        throw Skip{name + ": unknown registry root in " + key};
    std::string full = root->second;
    for (size_t i = 1; i < parts.size(); ++i) {
        if (parts[i].empty())
            throw Skip{name + ": empty key name in " + key};
        full += "\\" + parts[i];
    }
    return full;
}

// Whether one registry path lies inside the other, or they are the same.
bool Overlap(const std::string& a, const std::string& b)
{
    std::string x = LowerCase(a) + "\\";
    std::string y = LowerCase(b) + "\\";
    return x.starts_with(y) || y.starts_with(x);
}

bool IsNumbered(const std::string& key, const std::string& prefix, bool numberRequired)
{
    if (key.size() < prefix.size() || Upper(key.substr(0, prefix.size())) != Upper(prefix))
        return false;
    std::string number = key.substr(prefix.size());
    if (number.empty())
        return !numberRequired;
    return std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

double VersionNumber(const std::string& text, const std::string& value)
{
    char* end = nullptr;
    double number = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || text.find_first_not_of("0123456789.") != std::string::npos)
        throw Skip{"DetectOS: " + value + " is not a range of Windows versions"};
    return number;
}

// Maps the entry's range of Windows versions onto version variants; skips an
// entry for none of the versions Vestrel runs on (Windows 7 to 11).
void MapVersions(const std::string& value, PluginDraft& draft)
{
    std::vector<std::string> bounds = Split(value, '|');
    if (bounds.size() > 2)
        throw Skip{"DetectOS: " + value + " is not a range of Windows versions"};
    double low = bounds[0].empty() ? 0 : VersionNumber(bounds[0], value);
    double high = bounds.size() == 1 ? low : bounds[1].empty() ? 1e9 : VersionNumber(bounds[1], value);
    draft.onOtherVersions = low < 10.05 && high > 9.95;
    for (const auto& [number, text] : kOlderVersions) {
        bool inRange = number > low - 0.05 && number < high + 0.05;
        if (draft.onOtherVersions && !inRange)
            draft.versionsWithout.push_back(text);
        else if (!draft.onOtherVersions && inRange)
            draft.versionsWith.push_back(text);
    }
    if (!draft.onOtherVersions && draft.versionsWith.empty())
        throw Skip{"DetectOS: not for Windows 7 to 11"};
}

// The entry's lines sorted by what they are.
struct EntryKeys {
    std::vector<const RulesLine*> files, registry, excludes, detects, detectFiles;
    std::string group, section, detectOs, warning;
};

EntryKeys SortedKeys(const RulesEntry& entry)
{
    EntryKeys keys;
    std::set<std::string> seen;
    for (const RulesLine& line : entry.keys) {
        if (!seen.insert(Upper(line.key)).second)
            throw Skip{Format("line %d: %s is given twice", line.line, line.key.c_str())};
        std::string key = Upper(line.key);
        if (IsNumbered(key, "FILEKEY", true))
            keys.files.push_back(&line);
        else if (IsNumbered(key, "REGKEY", true))
            keys.registry.push_back(&line);
        else if (IsNumbered(key, "EXCLUDEKEY", true))
            keys.excludes.push_back(&line);
        else if (key == "DETECTOS")
            keys.detectOs = line.value;
        else if (IsNumbered(key, "DETECTFILE", false))
            keys.detectFiles.push_back(&line);
        else if (IsNumbered(key, "DETECT", false))
            keys.detects.push_back(&line);
        else if (key == "LANGSECREF")
            keys.group = kGroups.contains(line.value) ? kGroups.at(line.value) : "";
        else if (key == "SECTION")
            keys.section = line.value;
        else if (key == "WARNING")
            keys.warning = line.value;
        else if (key != "DEFAULT" && key != "ID")
            throw Skip{Format("line %d: %s is not supported", line.line, line.key.c_str())};
    }
    return keys;
}

void Add(std::vector<DraftParameter>& parameters, DraftParameter parameter, const std::string& key)
{
    if (parameter.text.size() > kMaxParameterLength)
        throw Skip{Format("%s: a path longer than %zu characters", key.c_str(), kMaxParameterLength)};
    if (std::find(parameters.begin(), parameters.end(), parameter) == parameters.end())
        parameters.push_back(std::move(parameter));
}

// The parameters of a file key, all of them or none: a key refused for one of its folders goes whole.
std::vector<DraftParameter> FileKeyParameters(const RulesLine& line, const ImportChecks& checks,
                                              std::vector<DraftParameter>& refused)
{
    std::vector<std::string> parts = Split(line.value, '|');
    if (parts.size() < 2 || parts[0].empty())
        throw Skip{line.key + " names no folder and file pattern"};
    bool recurse = false;
    bool removeSelf = false;
    for (size_t i = 2; i < parts.size(); ++i) {
        std::string flag = Upper(parts[i]);
        if (flag != "RECURSE" && flag != "REMOVESELF")
            throw Skip{line.key + ": unknown flag " + parts[i]};
        (flag == "RECURSE" ? recurse : removeSelf) = true;
    }
    std::vector<std::string> patterns = Patterns(parts[1], line.key);
    std::vector<DraftParameter> parameters;
    for (const std::string& path : PluginPaths(parts[0], line.key)) {
        for (const std::string& pattern : patterns) {
            // Only a folder emptied whole can go itself; with a narrower pattern the
            // folder stays.
            if (removeSelf && (pattern == "*" || pattern == "*.*"))
                Add(parameters, {path, "delete-directory", "", true}, line.key);
            else
                Add(parameters,
                    {path + "\\" + pattern, "delete-file", recurse || removeSelf ? "all" : "none", false},
                    line.key);
        }
    }
    try {
        for (const std::string& path : PluginPaths(parts[0], line.key))
            CheckFolder(path, patterns, recurse || removeSelf, line.key, checks);
    } catch (const Refused&) {
        refused.insert(refused.end(), parameters.begin(), parameters.end());
        throw;
    }
    return parameters;
}

std::string AddRegKey(PluginDraft& draft, const RulesLine& line, const ImportChecks& checks)
{
    std::vector<std::string> parts = Split(line.value, '|');
    if (parts.size() > 2 || parts[0].empty())
        throw Skip{line.key + " is not key or key|value"};
    std::string key = FullKey(parts[0], line.key);
    if (std::string refusal = checks.refusesKey(key); !refusal.empty())
        throw Refused{line.key + ": " + refusal};
    if (parts.size() == 1) {
        Add(draft.parameters, {key, "delete-register-key", "", false}, line.key);
        return key;
    }
    const std::string& value = parts[1];
    if (value.empty())
        throw Skip{line.key + " names the default value, which Vestrel cannot erase on its own"};
    if (value.find_first_of("*\\") != std::string::npos)
        throw Skip{line.key + ": Vestrel reads a value name with * or \\ differently"};
    Add(draft.parameters, {key + "\\" + value, "delete-register-value", "", false}, line.key);
    return key + "\\" + value;
}

// The folders the entry's file keys empty, or would where they are refused.
std::vector<std::string> EmptiedFolders(const std::vector<DraftParameter>& parameters)
{
    std::vector<std::string> folders;
    for (const DraftParameter& parameter : parameters) {
        if (parameter.command == "delete-directory")
            folders.push_back(parameter.text);
        else if (parameter.command == "delete-file")
            folders.push_back(FolderOfPatternPath(parameter.text));
    }
    return folders;
}

// What one entry becomes as it is translated: the draft and the keys refused.
struct Translation {
    PluginDraft draft;
    std::vector<std::string> leftOut;
    std::vector<DraftParameter> refused; // what the refused file keys would have erased
};

// A keep that lies outside what the entry empties would spare nothing there: most likely the rules file
// names the place another way than its file keys, and what it means to keep would go. One that lies only in
// what refused keys name has nothing left to keep.
void AddKeep(Translation& translation, const std::string& keep, const std::string& key,
             const ImportChecks& checks)
{
    if (checks.keepApplies(keep, EmptiedFolders(translation.draft.parameters))) {
        translation.draft.keeps.push_back(keep);
        return;
    }
    if (translation.refused.empty() || !checks.keepApplies(keep, EmptiedFolders(translation.refused)))
        throw Skip{key + ": " + keep + " lies outside every folder the entry empties"};
}

void AddExclude(Translation& translation, const RulesLine& line, const std::vector<std::string>& registry,
                const ImportChecks& checks)
{
    PluginDraft& draft = translation.draft;
    std::vector<std::string> parts = Split(line.value, '|');
    std::string kind = Upper(parts[0]);
    if (kind == "REG" && (parts.size() == 2 || parts.size() == 3)) {
        std::string kept = FullKey(parts[1], line.key) + (parts.size() == 3 ? "\\" + parts[2] : "");
        // One that keeps nothing the entry would erase is left out.
        if (std::any_of(registry.begin(), registry.end(),
                        [&kept](const std::string& erased) { return Overlap(kept, erased); }))
            draft.keeps.push_back(kept);
        return;
    }
    bool file = kind == "FILE" && parts.size() == 3;
    bool path = kind == "PATH" && (parts.size() == 2 || parts.size() == 3);
    if (!file && !path)
        throw Skip{line.key + " is not FILE|folder|files, PATH|folder[|files] or REG|key[|value]"};
    for (const std::string& folder : PluginPaths(parts[1], line.key)) {
        if (parts.size() == 2) {
            AddKeep(translation, folder, line.key, checks);
            continue;
        }
        // As other cleaners read the format, the files are kept at every depth below the folder, where a
        // recursive FileKey reaches too.
        for (const std::string& pattern : Patterns(parts[2], line.key))
            AddKeep(translation, folder + "\\**\\" + pattern, line.key, checks);
    }
}

Translation Translate(const RulesEntry& entry, const ImportChecks& checks)
{
    if (!entry.syntaxError.empty())
        throw Skip{entry.syntaxError};
    EntryKeys keys = SortedKeys(entry);
    Translation translation;
    PluginDraft& draft = translation.draft;
    std::string group = keys.section.empty() ? keys.group : keys.section;
    draft.descript = group.empty() ? entry.name : entry.name + " (" + group + ")";
    draft.group = group;
    draft.warning = keys.warning;
    if (!keys.detectOs.empty())
        MapVersions(keys.detectOs, draft);
    for (const RulesLine* line : keys.detects) {
        if (line->value.find('|') != std::string::npos)
            throw Skip{line->key + " is not a registry key"};
        draft.detects.push_back(FullKey(line->value, line->key));
    }
    for (const RulesLine* line : keys.detectFiles) {
        for (const std::string& path : PluginPaths(line->value, line->key))
            draft.detects.push_back(path);
    }
    for (const RulesLine* line : keys.files) {
        try {
            for (DraftParameter& parameter : FileKeyParameters(*line, checks, translation.refused))
                Add(draft.parameters, std::move(parameter), line->key);
        } catch (const Refused& refused) {
            translation.leftOut.push_back(refused.reason);
        }
    }
    std::vector<std::string> registry;
    for (const RulesLine* line : keys.registry) {
        try {
            registry.push_back(AddRegKey(draft, *line, checks));
        } catch (const Refused& refused) {
            translation.leftOut.push_back(refused.reason);
        }
    }
    for (const RulesLine* line : keys.excludes)
        AddExclude(translation, *line, registry, checks);
    if (draft.parameters.empty() && !translation.leftOut.empty()) {
        std::string reasons;
        for (const std::string& reason : translation.leftOut)
            reasons += (reasons.empty() ? "" : "; ") + reason;
        throw Skip{reasons};
    }
    if (draft.parameters.empty())
        throw Skip{"nothing to erase: no FileKey or RegKey"};
    return translation;
}

// The engine's protected keys, and the machine's own hives, which no program's leftovers are in.
std::string KeyRefusal(const std::string& key)
{
    static const std::set<std::string> kMachineHives = {"SYSTEM", "SAM", "SECURITY", "HARDWARE",
                                                        "BCD00000000"};
    std::vector<std::string> parts = Split(Upper(key), '\\');
    if (IsProtectedKey(key))
        return key + " is a protected registry key";
    if (parts[0] == "HKEY_LOCAL_MACHINE" && parts.size() > 1 && kMachineHives.contains(parts[1]))
        return key + " belongs to the system's own settings";
    return {};
}

} // namespace

ImportChecks ImportChecks::OfThisSystem()
{
    // Emptying the temporary folder is what many entries are for; the other variables' folders are kept.
    std::vector<std::string> variableFolders;
    for (const auto& [variable, tokens] : kVariables) {
        for (const std::string& token : tokens) {
            std::string folder = ExpandPathTokens(token).value_or("");
            if (token != "%temp%" && !folder.empty() && !folder.starts_with('%'))
                variableFolders.push_back(folder);
        }
    }
    auto system = std::make_shared<ProtectedFolders>(ProtectedFolders::OfThisSystem());
    auto variables = std::make_shared<ProtectedFolders>(variableFolders);
    ImportChecks checks;
    checks.expandPath = ExpandPathTokens;
    checks.refusesFolder = [system, variables](const std::string& folder) {
        return system->Covers(folder) || variables->Covers(folder);
    };
    checks.allowsNarrowPattern = [system](const std::string& folder) {
        return system->AllowsNarrowPattern(folder);
    };
    checks.refusesKey = KeyRefusal;
    checks.keepApplies = KeepCanApply;
    return checks;
}

EntryTranslation TranslateEntry(const RulesEntry& entry, const ImportChecks& checks)
{
    EntryTranslation translation;
    try {
        Translation translated = Translate(entry, checks);
        translation.draft = std::move(translated.draft);
        translation.leftOut = std::move(translated.leftOut);
    } catch (const Skip& skip) {
        translation.skipReason = skip.reason;
    }
    return translation;
}

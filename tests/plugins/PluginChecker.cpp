#include "tests/plugins/PluginChecker.h"

#include "engine/cleaners/BuiltInCleaners.h"
#include "engine/CommandExecutor.h"
#include "engine/files/FileSystemEraser.h"
#include "engine/items/XmlDom.h"
#include "engine/items/XmlName.h"
#include "engine/registry/ProtectedKeys.h"
#include "engine/registry/RegistryEraser.h"
#include "engine/registry/RegistryKeep.h"
#include "framework/Utf8.h"
#include "settings/AppPaths.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <set>

namespace {

const std::set<std::string> kTypes = {"ie", "windows", "application"};
const std::set<std::string> kFileCommands = {"delete-file", "delete-directory"};
const std::set<std::string> kRegistryCommands = {"delete-register-key", "delete-register-value"};
const size_t kMaxParameterLength = 500;

using Bstr = UniqueOwner<NullEmptyTraits<BSTR, &SysFreeString>>;

bool StartsWithToken(const std::string& path)
{
    for (std::string token :
         {"%appdata%", "%userhome%", "%localappdata%", "%localappdatalow%", "%programdata%", "%windir%",
          "%temp%", "%documents%", "%desktop%", "%programfiles%", "%programfilesx86%"}) {
        if (path.rfind(token, 0) == 0 && (path.size() == token.size() || path[token.size()] == '\\'))
            return true;
    }
    return false;
}

bool StartsWithDrive(const std::string& path)
{
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           path[2] == '\\';
}

bool HasParentStep(const std::string& path)
{
    std::string wrapped = "\\" + path + "\\";
    return wrapped.find("\\..\\") != std::string::npos || wrapped.find("\\.\\") != std::string::npos;
}

size_t CountOf(const std::string& text, char c)
{
    return static_cast<size_t>(std::count(text.begin(), text.end(), c));
}

std::string AttributeText(IXMLDOMNode* node, const wchar_t* name, bool& present)
{
    present = false;
    ComPtr<IXMLDOMNamedNodeMap> attributes;
    if (FAILED(node->get_attributes(attributes.put())) || !attributes)
        return {};
    Bstr attributeName(SysAllocString(name));
    ComPtr<IXMLDOMNode> attribute;
    if (attributes->getNamedItem(attributeName.get(), attribute.put()) != S_OK || !attribute)
        return {};
    present = true;
    return NodeText(attribute.get());
}

// Problems with the variants as written, which the reader would quietly pass over: a variant without
// the attribute, or with a value that no Windows version gives, is never chosen.
std::vector<std::string> CheckVariants(const std::string& path)
{
    std::vector<std::string> problems;
    ComInit com;
    ComPtr<IXMLDOMNode> root;
    ComPtr<IXMLDOMNode> body;
    ComPtr<IXMLDOMNode> outer;
    if (LoadXmlDocument(path, root) != S_OK || !FindChildElement(root.get(), "body", "", "", body) ||
        !FindChildElement(body.get(), "parameters", "", "", outer))
        return problems; // the loading check reports these
    bool otherwise = false;
    ComPtr<IXMLDOMNode> child;
    outer->get_firstChild(child.put());
    while (child) {
        DOMNodeType type;
        if (SUCCEEDED(child->get_nodeType(&type)) && type == NODE_ELEMENT) {
            bool present = false;
            std::string version = AttributeText(child.get(), L"windows-version", present);
            char* end = nullptr;
            double number = std::strtod(version.c_str(), &end);
            bool isVersion = !version.empty() && *end == '\0' && FormatWindowsVersion(number) == version;
            if (!present)
                problems.push_back("a variant without windows-version");
            else if (version == "otherwise")
                otherwise = true;
            else if (!isVersion)
                problems.push_back("a variant for \"" + version + "\", which no Windows version is");
        }
        ComPtr<IXMLDOMNode> next;
        child->get_nextSibling(next.put());
        child = std::move(next);
    }
    if (!otherwise)
        problems.push_back("no \"otherwise\" variant");
    return problems;
}

std::vector<std::string> PluginFiles(const std::string& folder)
{
    std::vector<std::string> files;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(ToExtendedPath(folder + "*.aep").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(folder + ToUtf8(entry.cFileName));
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    std::sort(files.begin(), files.end());
    return files;
}

std::string FileName(const std::string& path)
{
    return path.substr(path.find_last_of('\\') + 1);
}

} // namespace

PluginChecker::PluginChecker(ProtectedFolders protectedFolders)
    : protectedFolders_(std::move(protectedFolders))
{
}

std::vector<std::string> PluginChecker::CheckFolder(const std::string& folder,
                                                    const std::vector<double>& versions) const
{
    std::string base = folder.ends_with("\\") ? folder : folder + "\\";
    std::vector<std::string> problems;
    std::map<std::string, std::string> ids;
    std::map<std::string, std::string> descripts;
    std::vector<std::string> files = PluginFiles(base);
    if (files.empty())
        problems.push_back(base + ": no plug-in files");
    for (const std::string& file : files) {
        for (std::string& problem : CheckFile(file, versions))
            problems.push_back(std::move(problem));
        EraseItem item;
        if (!item.LoadFromFile(file, versions.empty() ? 10 : versions.front()))
            continue;
        std::string name = FileName(file);
        if (!ids.emplace(item.id, name).second)
            problems.push_back(name + ": id \"" + item.id + "\" is taken by " + ids[item.id]);
        if (!descripts.emplace(item.descript, name).second)
            problems.push_back(name + ": description \"" + item.descript + "\" is taken by " +
                               descripts[item.descript]);
    }
    return problems;
}

std::vector<std::string> PluginChecker::CheckFile(const std::string& path,
                                                  const std::vector<double>& versions) const
{
    std::vector<std::string> problems;
    std::string name = FileName(path);
    for (const std::string& problem : CheckVariants(path))
        problems.push_back(name + ": " + problem);
    for (double version : versions) {
        std::string on = " on Windows " + FormatWindowsVersion(version);
        EraseItem item;
        if (!item.LoadFromFile(path, version)) {
            problems.push_back(name + ": does not load" + on + ": " + item.errorText);
            continue;
        }
        for (const std::string& problem : CheckItem(item))
            problems.push_back(name + on + ": " + problem);
    }
    return problems;
}

std::vector<std::string> PluginChecker::CheckItem(const EraseItem& item) const
{
    std::vector<std::string> problems;
    if (item.descript.empty())
        problems.push_back("empty descript");
    if (!IsXmlName(item.id))
        problems.push_back("id \"" + item.id + "\" is no valid element name");
    if (!kTypes.count(item.type))
        problems.push_back("unknown type \"" + item.type + "\"");
    bool known = kFileCommands.count(item.command) || kRegistryCommands.count(item.command) ||
                 item.command == "run" || item.command == "advance" ||
                 item.command == "delete-places-history" || item.command == "delete-cookies" ||
                 item.command == "empty-table";
    if (!known) {
        problems.push_back("unknown command \"" + item.command + "\"");
        return problems;
    }
    if (item.parameters.empty())
        problems.push_back("no parameters: the item does nothing");
    for (size_t i = 0; i < item.parameters.size(); ++i) {
        std::string problem = CheckParameter(item.CommandOf(i), item.parameters[i]);
        if (!problem.empty())
            problems.push_back("\"" + item.parameters[i] + "\": " + problem);
    }
    for (const std::string& path : item.keep) {
        if (!StartsWithToken(path) && !StartsWithDrive(path) && !RegistryKeep::IsRegistryPath(path))
            problems.push_back("keep \"" + path +
                               "\" starts with neither a token, a drive nor a registry root");
    }
    return problems;
}

std::string PluginChecker::CheckParameter(const std::string& command, const std::string& parameter) const
{
    if (parameter.empty())
        return "empty parameter";
    if (parameter.size() > kMaxParameterLength)
        return "longer than the 500 characters a parameter may hold";
    if (command == "advance")
        return FindCleaner(BuiltInCleaners(), parameter) ? "" : "no built-in cleaner has this name";
    // A database is cleared, never deleted: its path is checked as one file's.
    if (command == "delete-places-history" || command == "delete-cookies" || command == "empty-table")
        return CheckFilePath("delete-file", parameter);
    if (kFileCommands.count(command))
        return CheckFilePath(command, parameter);
    if (kRegistryCommands.count(command)) {
        RegistryPath path = ParseRegistryPath(parameter);
        if (!path.valid || !path.root)
            return "no known registry root";
        if (path.name.empty())
            return "no key or value name after the last backslash";
        // A key one or two levels below a root (Software\Vendor) is someone's whole configuration.
        if (command == "delete-register-key" && CountOf(path.parent, '\\') < 1)
            return "deletes a key too near the root";
        if (command == "delete-register-key" && path.name.find('*') != std::string::npos)
            return "a key name with \"*\", which is no pattern";
        bool everyValue = command == "delete-register-value" && path.name.find('*') != std::string::npos;
        if ((command == "delete-register-key" || everyValue) &&
            IsProtectedKey(everyValue ? parameter.substr(0, parameter.rfind('\\')) : parameter))
            return "a protected key, which the registry commands refuse";
        return "";
    }
    // "run": a program in the plug-in folder.
    if (parameter.find(':') != std::string::npos || parameter.front() == '\\' || HasParentStep(parameter))
        return "a program outside the plug-in folder";
    return "";
}

std::string PluginChecker::CheckFilePath(const std::string& command, const std::string& path) const
{
    if (!StartsWithToken(path) && !StartsWithDrive(path))
        return "starts with neither a token nor a drive";
    if (HasParentStep(path))
        return "holds a \".\" or \"..\" step";
    if (CountOf(path, '%') > (StartsWithToken(path) ? 2u : 0u))
        return "a \"%\" that is no token: only one token, at the start, is expanded";
    std::string expanded = ExpandParameter(path);
    if (expanded == path && StartsWithToken(path))
        return "the token does not expand";
    bool wholeFolder = command == "delete-directory";
    std::string folder = wholeFolder ? expanded : FolderOfPatternPath(expanded);
    if (!wholeFolder && expanded.ends_with("\\"))
        return "ends in a backslash, which deletes nothing";
    // A folder wildcard picks among the folders of a named one, which must not be protected itself.
    size_t wildcard = folder.find_first_of("*?");
    if (wildcard == std::string::npos) {
        // One file named by its own name may go from a data root, and so may files a pattern of more than
        // wildcards names directly in an application data root; "*" or "*.*" would empty it.
        std::string pattern = expanded.substr(folder.size());
        bool namedFile = !wholeFolder && pattern.find_first_of("*?") == std::string::npos;
        bool narrow = !wholeFolder && pattern.find_first_not_of("*?.") != std::string::npos;
        bool refused = namedFile ? protectedFolders_.RefusesNamedFile(folder)
                                 : protectedFolders_.Covers(folder) &&
                                       !(narrow && protectedFolders_.AllowsNarrowPattern(folder));
        return refused ? "works in a protected folder: " + folder : "";
    }
    std::string named = folder.substr(0, folder.find_last_of('\\', wildcard) + 1);
    if (protectedFolders_.Covers(named))
        return "a wildcard right inside a protected folder: " + named;
    return "";
}

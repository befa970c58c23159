#include "engine/items/EraseItem.h"

#include "engine/files/FileSystemEraser.h"
#include "engine/files/KeepFilter.h"
#include "engine/items/WindowsVersion.h"
#include "engine/items/XmlDom.h"
#include "engine/items/XmlName.h"
#include "engine/registry/RegistryKeep.h"
#include "framework/ErrorText.h"
#include "framework/LowerCase.h"

#include <algorithm>
#include <exception>
#include <iterator>

namespace {

// Texts and CDATA sections count as parameters, as elements do; comments and processing instructions
// are notes of the author and never become something to erase.
bool IsParameterNode(IXMLDOMNode* node)
{
    DOMNodeType type;
    return SUCCEEDED(node->get_nodeType(&type)) &&
           (type == NODE_ELEMENT || type == NODE_TEXT || type == NODE_CDATA_SECTION);
}

const char* const kParameterCommands[] = {"delete-file",         "delete-directory",      "delete-cookies",
                                          "delete-register-key", "delete-register-value", "empty-table"};

// A table name is taken into SQL as it stands, so only letters, digits and underscores.
bool IsTableName(const std::string& name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

// An empty-table parameter names its table, and only such a parameter does.
std::string ReadTable(IXMLDOMNode* node, const std::string& command, ParameterOptions& options)
{
    bool named = AttributeText(node, "table", options.table);
    if (command != "empty-table")
        return named ? "table on a parameter that is no empty-table" : "";
    if (!named)
        return "an empty-table parameter without a table";
    return IsTableName(options.table) ? "" : "table=\"" + options.table + "\" is no plain table name";
}

// The attributes of one parameter element; a value no reader knows stops the load, so that nothing is
// deleted by a rule its author did not mean.
std::string ReadOptions(IXMLDOMNode* node, const std::string& itemCommand, ParameterOptions& options)
{
    std::string value;
    if (AttributeText(node, "recurse", value)) {
        value = LowerCase(value);
        if (value == "none")
            options.recurse = Recurse::None;
        else if (value == "all")
            options.recurse = Recurse::All;
        else if (value != "matching")
            return "recurse=\"" + value + "\" is neither none, matching nor all";
    }
    if (AttributeText(node, "command", value)) {
        options.command = LowerCase(value);
        if (std::find(std::begin(kParameterCommands), std::end(kParameterCommands), options.command) ==
            std::end(kParameterCommands))
            return "command=\"" + value + "\" is no file or registry command";
    }
    if (AttributeText(node, "remove-self", value)) {
        value = LowerCase(value);
        if (value != "true" && value != "false")
            return "remove-self=\"" + value + "\" is neither true nor false";
        options.removeSelf = value == "true";
        const std::string& command = options.command.empty() ? itemCommand : options.command;
        if (options.removeSelf && command != "delete-directory")
            return "remove-self on a parameter that is no delete-directory";
    }
    return ReadTable(node, options.command.empty() ? itemCommand : options.command, options);
}

std::string ReadParameters(IXMLDOMNode* variant, EraseItem& item)
{
    bool anyOptions = false;
    ComPtr<IXMLDOMNode> child;
    variant->get_firstChild(child.put());
    while (child) {
        if (IsParameterNode(child.get())) {
            item.parameters.push_back(LowerCase(NodeText(child.get())));
            ParameterOptions options;
            std::string failure = ReadOptions(child.get(), item.command, options);
            if (!failure.empty())
                return "parameter \"" + item.parameters.back() + "\": " + failure;
            anyOptions = anyOptions || options.recurse != Recurse::Matching || !options.command.empty() ||
                         options.removeSelf || !options.table.empty();
            item.parameterOptions.push_back(std::move(options));
        }
        ComPtr<IXMLDOMNode> next;
        child->get_nextSibling(next.put());
        child = std::move(next);
    }
    if (!anyOptions)
        item.parameterOptions.clear(); // a plain file carries no options at all
    return {};
}

// Non-empty texts of every element of that name, lower-cased; false when one is empty.
bool ReadPaths(IXMLDOMNode* body, const char* name, std::vector<std::string>& paths)
{
    for (const ComPtr<IXMLDOMNode>& element : ChildElements(body, name)) {
        paths.push_back(LowerCase(NodeText(element.get())));
        if (paths.back().empty())
            return false;
    }
    return true;
}

std::string ReadRunning(IXMLDOMNode* body, EraseItem& item)
{
    for (const ComPtr<IXMLDOMNode>& element : ChildElements(body, "running")) {
        RunningProgram program{NodeText(element.get()), {}, {}, {}};
        if (program.exe.empty() || program.exe.find_first_of("\\/") != std::string::npos)
            return "running names no program file";
        if (!AttributeText(element.get(), "name", program.name) || program.name.empty()) {
            std::string lower = LowerCase(program.exe);
            program.name = program.exe.substr(0, program.exe.size() - (lower.ends_with(".exe") ? 4 : 0));
        }
        if (AttributeText(element.get(), "folder", program.folder) && program.folder.empty())
            return "running names an empty folder";
        AttributeText(element.get(), "background", program.background);
        item.running.push_back(std::move(program));
    }
    return {};
}

// Whole hours, at most about a hundred years.
bool ParseHours(const std::string& text, int& hours)
{
    size_t first = text.find_first_not_of(" \t\r\n");
    size_t last = text.find_last_not_of(" \t\r\n");
    if (first == std::string::npos || last - first > 5)
        return false;
    hours = 0;
    for (size_t i = first; i <= last; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        hours = hours * 10 + (text[i] - '0');
    }
    return hours <= 876000;
}

// The optional elements of the body. Each one only ever narrows what the item does, and a value that
// cannot be read stops the load rather than being guessed.
std::string ReadOptionalFields(IXMLDOMNode* body, EraseItem& item)
{
    std::string failure = ReadRunning(body, item);
    if (!failure.empty())
        return failure;
    std::string text;
    if (FindChildText(body, "older-than-hours", text, "") && !ParseHours(text, item.olderThanHours))
        return "older-than-hours \"" + text + "\" is no whole number of hours";
    if (!ReadPaths(body, "keep", item.keep))
        return "an empty keep";
    if (!ReadPaths(body, "detect", item.detect))
        return "an empty detect";
    FindChildText(body, "warning", item.warning, "");
    FindChildText(body, "group", item.group, "");
    if (FindChildText(body, "default", text, "")) {
        text = LowerCase(text);
        if (text != "true" && text != "false")
            return "default \"" + text + "\" is neither true nor false";
        item.isDefault = text == "true";
    }
    return {};
}

// The variant written for this Windows version, else the one for every other version.
bool FindVariant(IXMLDOMNode* outer, double windowsVersion, ComPtr<IXMLDOMNode>& variant)
{
    const char attribute[] = "windows-version";
    return FindChildElement(outer, "parameters", attribute, FormatWindowsVersion(windowsVersion), variant) ||
           FindChildElement(outer, "parameters", attribute, "otherwise", variant);
}

// <timeout-seconds> in the body: whole seconds from 1 to a day; anything else keeps the default.
unsigned TimeoutSeconds(IXMLDOMNode* body)
{
    constexpr unsigned kMostSeconds = 24 * 60 * 60;
    std::string text;
    if (!FindChildText(body, "timeout-seconds", text, ""))
        return EraseItem::kDefaultTimeoutSeconds;
    size_t start = text.find_first_not_of(" \t\r\n");
    size_t end = text.find_last_not_of(" \t\r\n");
    unsigned seconds = 0;
    for (size_t i = start; start != std::string::npos && i <= end; ++i) {
        if (text[i] < '0' || text[i] > '9' || seconds > kMostSeconds)
            return EraseItem::kDefaultTimeoutSeconds;
        seconds = seconds * 10 + static_cast<unsigned>(text[i] - '0');
    }
    return seconds >= 1 && seconds <= kMostSeconds ? seconds : EraseItem::kDefaultTimeoutSeconds;
}

// Reads the item's fields in file order; the reason for stopping, or nullptr when all were there.
const char* ReadRequiredFields(IXMLDOMNode* root, double windowsVersion, EraseItem& item,
                               ComPtr<IXMLDOMNode>& body, ComPtr<IXMLDOMNode>& variant)
{
    if (!FindChildText(root, "head", item.head, ""))
        return "node root->head not found";
    if (!FindChildElement(root, "body", "", "", body))
        return "node root->body not found";
    if (!FindChildText(body.get(), "descript", item.descript, ""))
        return "node root->body->descript not found";
    if (!FindChildText(body.get(), "id", item.id, ""))
        return "node root->body->id not found";
    // The configuration file names an element after the id; a bad name would make the whole file
    // unreadable, and every item would then count as selected.
    if (!IsXmlName(item.id))
        return "node root->body->id is not a valid name";
    if (!FindChildText(body.get(), "type", item.type, ""))
        return "node root->body->type not found";
    if (!FindChildText(body.get(), "command", item.command, ""))
        return "node root->body->command not found";
    item.command = LowerCase(item.command);
    ComPtr<IXMLDOMNode> outer;
    if (!FindChildElement(body.get(), "parameters", "", "", outer))
        return "node root->body->parameters not found";
    if (!FindVariant(outer.get(), windowsVersion, variant))
        return "node root->body->parameters->windows-version(otherwise) not found";
    item.timeoutSeconds = TimeoutSeconds(body.get());
    return nullptr;
}

// A keep outside every folder the item empties was meant for some other place: as it stands it would
// spare nothing, and what its author meant to keep would go without a word.
std::string CheckKeeps(const EraseItem& item)
{
    std::vector<std::string> folders;
    for (size_t index = 0; index < item.parameters.size(); ++index) {
        const std::string& command = item.CommandOf(index);
        if (command == "delete-directory")
            folders.push_back(item.parameters[index]);
        else if (command == "delete-file" || command == "delete-cookies")
            folders.push_back(FolderOfPatternPath(item.parameters[index]));
    }
    for (const std::string& keep : item.keep) {
        if (!RegistryKeep::IsRegistryPath(keep) && !KeepCanApply(keep, folders))
            return "keep \"" + keep + "\" lies outside every folder the item empties";
    }
    return {};
}

// The reason for stopping, or an empty text when the item is complete.
std::string ReadFields(IXMLDOMNode* root, double windowsVersion, EraseItem& item)
{
    ComPtr<IXMLDOMNode> body;
    ComPtr<IXMLDOMNode> variant;
    if (const char* failure = ReadRequiredFields(root, windowsVersion, item, body, variant))
        return failure;
    std::string failure = ReadParameters(variant.get(), item);
    if (failure.empty())
        failure = ReadOptionalFields(body.get(), item);
    return failure.empty() ? CheckKeeps(item) : failure;
}

} // namespace

bool EraseItem::LoadFromFile(const std::string& filePath, double windowsVersion)
{
    *this = EraseItem();
    path = filePath;
    ComInit com;
    ComPtr<IXMLDOMNode> root;
    HRESULT result = LoadXmlDocument(filePath, root);
    if (result != S_OK) {
        errorText = FAILED(result) ? ErrorText(result) : "plugin FAILED to load!";
        return false;
    }
    std::string failure = ReadFields(root.get(), windowsVersion, *this);
    if (!failure.empty()) {
        errorText = failure;
        return false;
    }
    loaded = true;
    return true;
}

const ParameterOptions& EraseItem::OptionsOf(size_t index) const
{
    static const ParameterOptions plain;
    return index < parameterOptions.size() ? parameterOptions[index] : plain;
}

const std::string& EraseItem::CommandOf(size_t index) const
{
    const std::string& own = OptionsOf(index).command;
    return own.empty() ? command : own;
}

#include "engine/EraseItem.h"

#include "app/AppPaths.h"
#include "engine/ErrorText.h"
#include "engine/LowerCase.h"
#include "engine/XmlDom.h"
#include "engine/XmlName.h"

namespace {

// Texts and CDATA sections count as parameters, as elements do; comments and processing instructions
// are notes of the author and never become something to erase.
bool IsParameterNode(IXMLDOMNode* node)
{
    DOMNodeType type;
    return SUCCEEDED(node->get_nodeType(&type)) &&
           (type == NODE_ELEMENT || type == NODE_TEXT || type == NODE_CDATA_SECTION);
}

std::vector<std::string> ParameterTexts(IXMLDOMNode* variant)
{
    std::vector<std::string> texts;
    ComPtr<IXMLDOMNode> child;
    variant->get_firstChild(child.put());
    while (child) {
        if (IsParameterNode(child.get()))
            texts.push_back(LowerCase(NodeText(child.get())));
        ComPtr<IXMLDOMNode> next;
        child->get_nextSibling(next.put());
        child = std::move(next);
    }
    return texts;
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
const char* ReadFields(IXMLDOMNode* root, double windowsVersion, EraseItem& item)
{
    if (!FindChildText(root, "head", item.head, ""))
        return "node root->head not found";
    ComPtr<IXMLDOMNode> body;
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
    ComPtr<IXMLDOMNode> variant;
    if (!FindVariant(outer.get(), windowsVersion, variant))
        return "node root->body->parameters->windows-version(otherwise) not found";
    item.parameters = ParameterTexts(variant.get());
    item.timeoutSeconds = TimeoutSeconds(body.get());
    return nullptr;
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
    if (const char* failure = ReadFields(root.get(), windowsVersion, *this)) {
        errorText = failure;
        return false;
    }
    loaded = true;
    return true;
}

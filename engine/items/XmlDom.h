#pragma once
#include "framework/Owners.h"

#include <msxml2.h>

#include <string>
#include <string_view>
#include <vector>

// Reading XML through MSXML's DOMDocument, one fresh document per load, guarded against hostile input.
// The caller initialises COM for the thread.

// Files bigger than this, and files holding a document type declaration, never reach the parser.
constexpr size_t kMaxXmlFileBytes = 1024 * 1024;

// Loads the file and gives its document element. S_OK when loaded; S_FALSE when the file is missing,
// refused or not well-formed; a failure code when no DOM document could be created. keepWhiteSpace keeps
// the text between elements, for a document that is saved again.
HRESULT LoadXmlDocument(const std::string& path, ComPtr<IXMLDOMNode>& root, bool keepWhiteSpace = false);

// Writes the document that holds node over the file at path, all at once: a failure leaves the old file.
bool SaveXmlDocument(IXMLDOMNode* node, const std::string& path);

// Removes the element with the white space before it, so the lines around it keep their layout.
void RemoveElementAndItsIndent(IXMLDOMNode* element);

// The first child element of node with that name whose attribute attributeName has the text
// attributeValue (any such child when attributeName is empty). False, with found empty, when there is none.
bool FindChildElement(IXMLDOMNode* node, std::string_view name, std::string_view attributeName,
                      std::string_view attributeValue, ComPtr<IXMLDOMNode>& found);

// The text of the first child element named name; defaultText, and false, when there is none.
bool FindChildText(IXMLDOMNode* node, std::string_view name, std::string& text, std::string_view defaultText);

// All text inside the node.
std::string NodeText(IXMLDOMNode* node);

// The node's name; empty when it has none.
std::string NodeName(IXMLDOMNode* node);

// Every child element of node with that name, in document order.
std::vector<ComPtr<IXMLDOMNode>> ChildElements(IXMLDOMNode* node, std::string_view name);

// The text of the node's attribute of that name; false, text unchanged, when it has none.
bool AttributeText(IXMLDOMNode* node, std::string_view name, std::string& text);

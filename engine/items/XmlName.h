#pragma once
#include <string>
#include <string_view>

// True when the UTF-8 text can stand as an element name without a namespace: an XML name without colons.
// The configuration file uses item ids as element names, so an id that fails this would break the file.
bool IsXmlName(std::string_view utf8);

// The text with &, <, > and " written as entities, so it can stand as element text or an attribute value.
std::string EscapedXmlText(std::string_view utf8);

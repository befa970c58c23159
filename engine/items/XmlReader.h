#pragma once
#include "framework/Owners.h"

#include <msxml2.h>

#include <string>
#include <string_view>
#include <vector>

// One XML document, loaded through a fresh DOM document, positioned on one element: the document element
// after a load, or a child chosen with SelectChild. Lookups search the direct children of that element.
class XmlReader {
public:
    XmlReader() = default;
    XmlReader(const XmlReader&) = delete;
    XmlReader& operator=(const XmlReader&) = delete;
    virtual ~XmlReader() = default;

    // Files that are missing, not well-formed, bigger than 1 MiB or hold a document type declaration
    // do not load.
    bool Load(const std::string& path);
    bool IsLoaded() const { return loaded_; }
    // "file failed to load!", or the system's text when no DOM document could be created.
    const std::string& LastError() const { return lastError_; }

    // Moves target (which may be this reader) onto the first child element with that name; false, and
    // target unchanged, when there is none.
    bool SelectChild(std::string_view name, XmlReader& target) const;

    struct Element {
        std::string name;
        std::string text;
    };
    // The direct child elements, in document order.
    std::vector<Element> ChildElements() const;

    std::string GetText(std::string_view name, std::string_view defaultText) const;
    // True when the text, lower-cased, is "true"; so "True" counts, "yes" and "1" do not.
    bool GetBool(std::string_view name, bool defaultValue) const;
    // Optional blanks and sign, then decimal digits, as atoi reads them (clamped to the int range).
    int GetInt(std::string_view name, int defaultValue) const;

private:
    ComInit com_; // outlives every COM pointer below
    ComPtr<IXMLDOMNode> current_;
    std::string lastError_;
    bool loaded_ = false;
};

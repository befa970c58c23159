#include "engine/items/XmlReader.h"

#include "engine/items/XmlDom.h"
#include "framework/ErrorText.h"
#include "framework/LowerCase.h"

#include <algorithm>
#include <climits>

namespace {

int ParseLeadingInt(const std::string& text)
{
    size_t i = text.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string::npos)
        return 0;
    bool negative = text[i] == '-';
    if (text[i] == '-' || text[i] == '+')
        ++i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            break;
    }
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

} // namespace

bool XmlReader::Load(const std::string& path)
{
    loaded_ = false;
    lastError_.clear();
    HRESULT result = LoadXmlDocument(path, current_);
    if (result != S_OK) {
        lastError_ = FAILED(result) ? ErrorText(result) : "file failed to load!";
        return false;
    }
    loaded_ = true;
    return true;
}

bool XmlReader::SelectChild(std::string_view name, XmlReader& target) const
{
    if (!current_)
        return false;
    ComPtr<IXMLDOMNode> child;
    if (!FindChildElement(current_.get(), name, {}, {}, child))
        return false;
    target.current_ = std::move(child);
    return true;
}

std::vector<XmlReader::Element> XmlReader::ChildElements() const
{
    std::vector<Element> elements;
    ComPtr<IXMLDOMNode> child;
    if (current_)
        current_->get_firstChild(child.put());
    while (child) {
        DOMNodeType type;
        if (SUCCEEDED(child->get_nodeType(&type)) && type == NODE_ELEMENT)
            elements.push_back({NodeName(child.get()), NodeText(child.get())});
        ComPtr<IXMLDOMNode> next;
        child->get_nextSibling(next.put());
        child = std::move(next);
    }
    return elements;
}

std::string XmlReader::GetText(std::string_view name, std::string_view defaultText) const
{
    std::string text(defaultText);
    if (current_)
        FindChildText(current_.get(), name, text, defaultText);
    return text;
}

bool XmlReader::GetBool(std::string_view name, bool defaultValue) const
{
    return LowerCase(GetText(name, defaultValue ? "true" : "false")) == "true";
}

int XmlReader::GetInt(std::string_view name, int defaultValue) const
{
    return ParseLeadingInt(GetText(name, std::to_string(defaultValue)));
}

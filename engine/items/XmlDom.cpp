#include "engine/items/XmlDom.h"

#include "framework/Utf8.h"

#include <shlwapi.h>

namespace {

using Bstr = UniqueOwner<NullEmptyTraits<BSTR, &SysFreeString>>;

// DOMDocument, the version-independent class of MSXML.
const CLSID kDomDocument = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
// IXMLDOMDocument2, which MinGW's uuid library lacks.
const IID kDomDocument2 = {0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

// Deep enough for any plug-in or configuration file, shallow enough that no walk of the tree runs out of
// stack.
const long kMaxElementDepth = 256;

std::wstring_view View(const Bstr& text)
{
    return text ? std::wstring_view(text.get(), SysStringLen(text.get())) : std::wstring_view();
}

void SetProperty(IXMLDOMDocument2* document, const wchar_t* name, VARIANT value)
{
    Bstr propertyName(SysAllocString(name));
    if (propertyName)
        document->setProperty(propertyName.get(), value); // an implementation may not know the property
}

// Both the document's own settings and the checks before parsing guard against DTDs: some DOM
// implementations ignore some of these settings.
void ConfigureSafely(IXMLDOMDocument* document, bool keepWhiteSpace)
{
    document->put_async(VARIANT_FALSE);
    document->put_validateOnParse(VARIANT_FALSE);
    document->put_resolveExternals(VARIANT_FALSE);
    document->put_preserveWhiteSpace(keepWhiteSpace ? VARIANT_TRUE : VARIANT_FALSE);
    ComPtr<IXMLDOMDocument2> document2;
    if (FAILED(document->QueryInterface(kDomDocument2, reinterpret_cast<void**>(document2.put()))))
        return;
    VARIANT prohibit;
    VariantInit(&prohibit);
    prohibit.vt = VT_BOOL;
    prohibit.boolVal = VARIANT_TRUE;
    SetProperty(document2.get(), L"ProhibitDTD", prohibit);
    VARIANT depth;
    VariantInit(&depth);
    depth.vt = VT_I4;
    depth.lVal = kMaxElementDepth;
    SetProperty(document2.get(), L"MaxElementDepth", depth);
}

// Reads the whole file, refusing one bigger than the limit.
bool ReadSmallFile(const std::string& path, std::string& bytes)
{
    // Delete sharing lets a writer replace the file while it is read; this read then sees the old file.
    UniqueHandle file(CreateFileW(ToExtendedPath(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > static_cast<LONGLONG>(kMaxXmlFileBytes))
        return false;
    // One byte more than the size shows a file that grew after its size was taken; it is refused.
    bytes.resize(static_cast<size_t>(size.QuadPart) + 1);
    size_t total = 0;
    while (total < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + total, static_cast<DWORD>(bytes.size() - total), &got,
                      nullptr))
            return false;
        if (got == 0)
            break;
        total += got;
    }
    bytes.resize(total);
    return total > 0 && total <= static_cast<size_t>(size.QuadPart);
}

// Looks for "<!DOCTYPE" in any case and with NUL bytes left out, so that UTF-16 and UTF-32 text is
// caught as well as 8-bit text.
bool HoldsDocumentType(const std::string& bytes)
{
    std::string folded;
    folded.reserve(bytes.size());
    for (char c : bytes) {
        if (c != '\0')
            folded.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    return folded.find("<!DOCTYPE") != std::string::npos;
}

// Parses the bytes already checked, not the file again, so that nothing can change in between.
bool ParseBytes(IXMLDOMDocument* document, const std::string& bytes)
{
    ComPtr<IStream> stream(
        SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
    if (!stream)
        return false;
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_UNKNOWN;
    source.punkVal = stream.get();
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (FAILED(document->load(source, &loaded)) || loaded != VARIANT_TRUE)
        return false;
    ComPtr<IXMLDOMDocumentType> type;
    return !(SUCCEEDED(document->get_doctype(type.put())) && type);
}

bool IsElementNamed(IXMLDOMNode* node, std::wstring_view name)
{
    DOMNodeType type;
    if (FAILED(node->get_nodeType(&type)) || type != NODE_ELEMENT)
        return false;
    Bstr nodeName;
    return SUCCEEDED(node->get_nodeName(nodeName.put())) && View(nodeName) == name;
}

// The attribute's text; false when the node has no such attribute.
bool FindAttribute(IXMLDOMNode* node, const std::wstring& name, Bstr& text)
{
    ComPtr<IXMLDOMNamedNodeMap> attributes;
    if (FAILED(node->get_attributes(attributes.put())) || !attributes)
        return false;
    Bstr attributeName(SysAllocStringLen(name.data(), static_cast<UINT>(name.size())));
    ComPtr<IXMLDOMNode> attribute;
    if (!attributeName || FAILED(attributes->getNamedItem(attributeName.get(), attribute.put())) ||
        !attribute)
        return false;
    return SUCCEEDED(attribute->get_text(text.put()));
}

// What the document would write as its file.
bool SerializedBytes(IXMLDOMDocument* document, std::string& bytes)
{
    ComPtr<IStream> stream(SHCreateMemStream(nullptr, 0));
    if (!stream)
        return false;
    VARIANT target;
    VariantInit(&target);
    target.vt = VT_UNKNOWN;
    target.punkVal = stream.get();
    ULARGE_INTEGER size;
    if (FAILED(document->save(target)) || FAILED(IStream_Size(stream.get(), &size)) || size.QuadPart == 0 ||
        size.QuadPart > kMaxXmlFileBytes || FAILED(IStream_Reset(stream.get())))
        return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    return SUCCEEDED(IStream_Read(stream.get(), bytes.data(), static_cast<ULONG>(bytes.size())));
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && FlushFileBuffers(file.get());
}

bool HasAttribute(IXMLDOMNode* node, const std::wstring& name, std::wstring_view value)
{
    Bstr text;
    return FindAttribute(node, name, text) && View(text) == value;
}

} // namespace

HRESULT LoadXmlDocument(const std::string& path, ComPtr<IXMLDOMNode>& root, bool keepWhiteSpace)
{
    root.reset();
    ComPtr<IXMLDOMDocument> document;
    HRESULT created = CoCreateInstance(kDomDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                       reinterpret_cast<void**>(document.put()));
    if (FAILED(created))
        return created;
    ConfigureSafely(document.get(), keepWhiteSpace);
    std::string bytes;
    if (!ReadSmallFile(path, bytes) || HoldsDocumentType(bytes) || !ParseBytes(document.get(), bytes))
        return S_FALSE;
    ComPtr<IXMLDOMElement> element;
    if (FAILED(document->get_documentElement(element.put())) || !element)
        return S_FALSE;
    element->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(root.put()));
    return root ? S_OK : S_FALSE;
}

bool FindChildElement(IXMLDOMNode* node, std::string_view name, std::string_view attributeName,
                      std::string_view attributeValue, ComPtr<IXMLDOMNode>& found)
{
    found.reset();
    std::wstring wideName = ToWide(name);
    std::wstring wideAttribute = ToWide(attributeName);
    std::wstring wideValue = ToWide(attributeValue);
    // Sibling steps rather than indexing: some DOMs walk a list from its start for every index.
    ComPtr<IXMLDOMNode> child;
    node->get_firstChild(child.put());
    while (child) {
        if (IsElementNamed(child.get(), wideName) &&
            (wideAttribute.empty() || HasAttribute(child.get(), wideAttribute, wideValue))) {
            found = std::move(child);
            return true;
        }
        ComPtr<IXMLDOMNode> next;
        child->get_nextSibling(next.put());
        child = std::move(next);
    }
    return false;
}

bool FindChildText(IXMLDOMNode* node, std::string_view name, std::string& text, std::string_view defaultText)
{
    ComPtr<IXMLDOMNode> child;
    if (!FindChildElement(node, name, {}, {}, child)) {
        text = defaultText;
        return false;
    }
    text = NodeText(child.get());
    return true;
}

std::string NodeName(IXMLDOMNode* node)
{
    Bstr name;
    if (FAILED(node->get_nodeName(name.put())))
        return {};
    return ToUtf8(View(name));
}

std::string NodeText(IXMLDOMNode* node)
{
    Bstr text;
    if (FAILED(node->get_text(text.put())))
        return {};
    return ToUtf8(View(text));
}

std::vector<ComPtr<IXMLDOMNode>> ChildElements(IXMLDOMNode* node, std::string_view name)
{
    std::wstring wideName = ToWide(name);
    std::vector<ComPtr<IXMLDOMNode>> found;
    ComPtr<IXMLDOMNode> child;
    node->get_firstChild(child.put());
    while (child) {
        ComPtr<IXMLDOMNode> next;
        child->get_nextSibling(next.put());
        if (IsElementNamed(child.get(), wideName))
            found.push_back(std::move(child));
        child = std::move(next);
    }
    return found;
}

bool AttributeText(IXMLDOMNode* node, std::string_view name, std::string& text)
{
    Bstr value;
    if (!FindAttribute(node, ToWide(name), value))
        return false;
    text = ToUtf8(View(value));
    return true;
}

bool SaveXmlDocument(IXMLDOMNode* node, const std::string& path)
{
    ComPtr<IXMLDOMDocument> document;
    std::string bytes;
    if (FAILED(node->get_ownerDocument(document.put())) || !document ||
        !SerializedBytes(document.get(), bytes))
        return false;
    std::wstring target = ToExtendedPath(path);
    std::wstring replacement = target + L".new";
    // ReplaceFileW keeps the old file's attributes and security.
    if (WriteWholeFile(replacement, bytes) && ReplaceFileW(target.c_str(), replacement.c_str(), nullptr,
                                                           REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return true;
    DeleteFileW(replacement.c_str());
    return false;
}

void RemoveElementAndItsIndent(IXMLDOMNode* element)
{
    ComPtr<IXMLDOMNode> parent;
    if (FAILED(element->get_parentNode(parent.put())) || !parent)
        return;
    ComPtr<IXMLDOMNode> before;
    DOMNodeType type;
    if (SUCCEEDED(element->get_previousSibling(before.put())) && before &&
        SUCCEEDED(before->get_nodeType(&type)) && type == NODE_TEXT &&
        NodeText(before.get()).find_first_not_of(" \t\r\n") == std::string::npos) {
        ComPtr<IXMLDOMNode> removed;
        parent->removeChild(before.get(), removed.put());
    }
    ComPtr<IXMLDOMNode> removed;
    parent->removeChild(element, removed.put());
}

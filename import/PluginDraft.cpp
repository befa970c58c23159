#include "import/PluginDraft.h"

#include "engine/items/XmlName.h"

namespace {

std::string Element(const std::string& indent, const std::string& name, const std::string& text)
{
    return indent + "<" + name + ">" + EscapedXmlText(text) + "</" + name + ">\r\n";
}

std::string ParameterLine(const DraftParameter& parameter, const std::string& itemCommand)
{
    std::string line = "                <item";
    if (parameter.command != itemCommand)
        line += " command=\"" + parameter.command + "\"";
    if (!parameter.recurse.empty())
        line += " recurse=\"" + parameter.recurse + "\"";
    if (parameter.removeSelf)
        line += " remove-self=\"true\"";
    return line + ">" + EscapedXmlText(parameter.text) + "</item>\r\n";
}

std::string Variant(const std::string& body, const std::string& version,
                    const std::vector<DraftParameter>& parameters, const std::string& command)
{
    std::string open = body + "    <parameters windows-version=\"" + EscapedXmlText(version) + "\"";
    if (parameters.empty())
        return open + "/>\r\n";
    std::string text = open + ">\r\n";
    for (const DraftParameter& parameter : parameters)
        text += ParameterLine(parameter, command);
    return text + body + "    </parameters>\r\n";
}

} // namespace

std::string PluginFileText(const PluginDraft& draft, const std::string& id)
{
    const std::string body = "        ";
    std::string command = draft.parameters.empty() ? "delete-file" : draft.parameters.front().command;
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<vestrel-plugin>\r\n";
    text += Element("    ", "head", draft.head);
    text += "    <body>\r\n";
    text += Element(body, "descript", draft.descript);
    text += Element(body, "id", id);
    text += Element(body, "type", "application");
    text += Element(body, "command", command);
    if (!draft.warning.empty())
        text += Element(body, "warning", draft.warning);
    if (!draft.group.empty())
        text += Element(body, "group", draft.group);
    for (const std::string& detect : draft.detects)
        text += Element(body, "detect", detect);
    for (const std::string& keep : draft.keeps)
        text += Element(body, "keep", keep);
    text += body + "<parameters>\r\n";
    for (const std::string& version : draft.versionsWithout)
        text += Variant(body, version, {}, command);
    for (const std::string& version : draft.versionsWith)
        text += Variant(body, version, draft.parameters, command);
    text += Variant(body, "otherwise",
                    draft.onOtherVersions ? draft.parameters : std::vector<DraftParameter>(), command);
    return text + body + "</parameters>\r\n    </body>\r\n</vestrel-plugin>\r\n";
}

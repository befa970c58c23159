#include "import/PluginDraft.h"

namespace {

std::string Escaped(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string Element(const std::string& indent, const std::string& name, const std::string& text)
{
    return indent + "<" + name + ">" + Escaped(text) + "</" + name + ">\r\n";
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
    return line + ">" + Escaped(parameter.text) + "</item>\r\n";
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
    for (const std::string& detect : draft.detects)
        text += Element(body, "detect", detect);
    for (const std::string& keep : draft.keeps)
        text += Element(body, "keep", keep);
    text += body + "<parameters>\r\n";
    for (const std::string& version : draft.versionsWithout)
        text += body + "    <parameters windows-version=\"" + Escaped(version) + "\"/>\r\n";
    text += body + "    <parameters windows-version=\"otherwise\">\r\n";
    for (const DraftParameter& parameter : draft.parameters)
        text += ParameterLine(parameter, command);
    text += body + "    </parameters>\r\n" + body + "</parameters>\r\n    </body>\r\n</vestrel-plugin>\r\n";
    return text;
}

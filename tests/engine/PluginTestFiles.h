#pragma once
#include <string>

// The text of a valid plug-in file with one parameter.
inline std::string PluginText(const std::string& id, const std::string& descript,
                              const std::string& type = "windows", const std::string& parameter = "x")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<plugin><head>h</head><body><descript>" + descript +
           "</descript><id>" + id + "</id><type>" + type +
           "</type><command>delete-file</command><parameters><parameters "
           "windows-version=\"otherwise\"><item>" +
           parameter + "</item></parameters></parameters></body></plugin>\r\n";
}

// A plug-in file with the given command, parameter elements written out (attributes and all) and
// further body elements.
inline std::string PluginWith(const std::string& command, const std::string& parameterElements,
                              const std::string& bodyElements = "")
{
    return "<?xml version=\"1.0\" "
           "encoding=\"UTF-8\"?>\r\n<plugin><head>h</head><body><descript>Item</descript>"
           "<id>item</id><type>windows</type><command>" +
           command + "</command>" + bodyElements + "<parameters><parameters windows-version=\"otherwise\">" +
           parameterElements + "</parameters></parameters></body></plugin>\r\n";
}

// text with the first from replaced by to.
inline std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    text.replace(text.find(from), from.size(), to);
    return text;
}

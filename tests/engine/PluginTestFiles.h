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

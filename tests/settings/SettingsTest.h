#pragma once
#include "engine/items/EraseItemList.h"
#include "settings/ConfigSelection.h"
#include "tests/support/Sandbox.h"

#include "framework/Utf8.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

inline std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(std::filesystem::path(ToExtendedPath(path)), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

struct TestItem {
    const char* id;
    const char* descript;
    const char* type;
    bool valid; // an invalid item lacks its type and fails to load
};

// The ten items "Set Default" selects and a few more, in file order.
inline const std::vector<TestItem>& StandardItems()
{
    static const std::vector<TestItem> items = {
        {"ie-form", "IE Auto Complete Form", "ie", true},
        {"ie-password", "IE Auto Complete Password", "ie", true},
        {"ie-cache", "IE Cache Files", "ie", true},
        {"ie-cookies", "IE Cookies", "ie", true},
        {"ie-history", "IE History List", "ie", true},
        {"ie-typed", "IE Type URLs", "ie", true},
        {"recycle-bin", "Empty Recycle Bin", "windows", true},
        {"recent-docs", "Start--Recent Documents", "windows", true},
        {"recent-run", "Start--Recent Run List", "windows", true},
        {"win-temp", "Windows Temp Files", "windows", true},
        {"app-cache", "App Cache", "application", true},
        {"broken", "Broken", "windows", false},
        {"hidden", "Hidden", "other", true},
        {"ie-cookies-lower", "ie cookies", "ie", true},
    };
    return items;
}

// A sandbox with a plug-in folder and a configuration file path in it.
class SettingsTest : public SandboxTest {
protected:
    std::string ConfigPath() const { return PathOf("clean.conf"); }

    // Writes the items as plugin\01.aep, plugin\02.aep ...
    void WritePlugins(const std::vector<TestItem>& items = StandardItems()) const
    {
        for (size_t i = 0; i < items.size(); ++i) {
            const TestItem& item = items[i];
            std::string type = item.valid ? std::string("<type>") + item.type + "</type>" : "";
            char name[32];
            std::snprintf(name, sizeof name, "plugin\\%02u.aep", static_cast<unsigned>(i + 1));
            WriteFile(name, std::string("<plugin><head/><body><descript>") + item.descript +
                                "</descript><id>" + item.id + "</id>" + type +
                                "<command>delete-file</command><parameters>"
                                "<parameters windows-version=\"otherwise\"><item>x</item></parameters>"
                                "</parameters></body></plugin>");
        }
    }

    // The list sorted by the configuration file, as the program builds it.
    std::unique_ptr<EraseItemList> LoadList() const
    {
        ConfigSelection selection(ConfigPath());
        return std::make_unique<EraseItemList>(PathOf("plugin"), 6.1, selection);
    }

    // The item lines of the configuration file, without their indentation.
    std::vector<std::string> ItemLines() const
    {
        std::istringstream in(ReadFile("clean.conf"));
        std::vector<std::string> lines;
        bool inside = false;
        for (std::string line; std::getline(in, line);) {
            if (line.find("</erase-items>") != std::string::npos)
                inside = false;
            if (inside)
                lines.push_back(line.substr(line.find('<'), line.find('\r') - line.find('<')));
            if (line.find("<erase-items>") != std::string::npos)
                inside = true;
        }
        return lines;
    }
};

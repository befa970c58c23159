#pragma once
#include "engine/items/EraseItem.h"
#include "run/EraseRunHooks.h"
#include "run/EraseRunSetup.h"
#include "settings/Settings.h"
#include "tests/engine/PluginTestFiles.h"
#include "tests/support/Sandbox.h"

#include <windows.h>

#include <ctime>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

// Records what a run asks of the world instead of chiming and sleeping; the items are really erased (in
// the sandbox). failOn makes one item's execution throw; onPause lets a test look at the run in between.
class RecordingHooks : public EraseRunHooks {
public:
    std::vector<std::string> events;
    std::string failOn;
    std::function<void()> onExecute;
    std::function<void()> onPause;

    void Execute(EraseItem& item, const EraseContext& context, EraseListener& listener) override
    {
        events.push_back("execute " + item.id);
        if (onExecute)
            onExecute();
        if (item.id == failOn) {
            item.tally.filesErased = 99; // what a half-done item may have counted
            throw std::runtime_error("item failed");
        }
        EraseRunHooks::Execute(item, context, listener);
    }
    void Chime() override { events.push_back("chime"); }
    void Pause(unsigned milliseconds) override
    {
        events.push_back("pause " + std::to_string(milliseconds));
        if (onPause)
            onPause();
    }
};

// A sandbox with a plug-in folder, a configuration file and a record file, and erase items whose files
// are in the sandbox: item "x" deletes x\*.tmp.
class EraseRunFixture : public SandboxTest {
protected:
    // 1 June 2026, 09:05 local time.
    static std::time_t FixedNow()
    {
        std::tm local{};
        local.tm_year = 126;
        local.tm_mon = 5;
        local.tm_mday = 1;
        local.tm_hour = 9;
        local.tm_min = 5;
        local.tm_isdst = -1;
        return std::mktime(&local);
    }

    void SetUp() override
    {
        SandboxTest::SetUp();
        ProcessStatistics() = {};
        MakeFolder("plugin");
    }

    void TearDown() override
    {
        ProcessStatistics() = {};
        SandboxTest::TearDown();
    }

    EraseRunSetup Setup(bool express = false, bool sound = false) const
    {
        EraseRunSetup setup;
        setup.pluginFolder = PathOf("plugin\\");
        setup.configPath = PathOf("vestrel.conf");
        setup.recordPath = PathOf("vestrel.log");
        setup.settingsKey = ScratchKey();
        setup.windowsVersion = 6.1;
        setup.settings.expressEraseMode = express;
        setup.settings.playSound = sound;
        setup.clock = [] { return FixedNow(); };
        setup.policies = policies;
        return setup;
    }

    // None unless a test sets some, whatever the prefix holds.
    Policies policies;

    // An item in file order by its file name, with two files of 1000 and 2000 bytes to erase.
    void AddItem(const std::string& fileName, const std::string& id, const std::string& descript,
                 bool available = true) const
    {
        std::string text = PluginText(id, descript, "windows", PathOf(id + "\\*.tmp"));
        if (!available)
            text.replace(text.find("<type>windows</type>"), 20, ""); // an item without a type fails to load
        WriteFile("plugin\\" + fileName, text);
        MakeFolder(id);
        WriteFile(id + "\\one.tmp", std::string(1000, 'a'));
        WriteFile(id + "\\two.tmp", std::string(2000, 'b'));
    }

    bool ItemErased(const std::string& id) const
    {
        return !Exists(id + "\\one.tmp") && !Exists(id + "\\two.tmp");
    }
    bool ItemUntouched(const std::string& id) const
    {
        return Exists(id + "\\one.tmp") && Exists(id + "\\two.tmp");
    }

    void WriteConfig(const std::map<std::string, bool>& selection) const
    {
        std::string text = "<?xml version=\"1.0\"?>\r\n<vestrel-config>\r\n    <erase-items>\r\n";
        for (const auto& [id, selected] : selection)
            text += "        <" + id + ">" + (selected ? "true" : "false") + "</" + id + ">\r\n";
        text += "    </erase-items>\r\n</vestrel-config>\r\n";
        WriteFile("vestrel.conf", text);
    }

    // The record file's messages, without their time stamps.
    std::vector<std::string> RecordMessages() const
    {
        std::vector<std::string> messages;
        if (!Exists("vestrel.log"))
            return messages;
        std::string text = ReadFile("vestrel.log");
        for (size_t start = 0; start < text.size();) {
            size_t end = text.find("\r\n", start);
            std::string line = text.substr(start, end - start);
            messages.push_back(line.substr(line.find(']') + 1));
            start = end == std::string::npos ? text.size() : end + 2;
        }
        return messages;
    }

    static std::string ExpectedLastErasedText()
    {
        std::time_t now = FixedNow();
        return FormatLastErasedTime(*std::localtime(&now));
    }
};

#include "engine/items/XmlDom.h"
#include "framework/TaskScheduler.h"
#include "settings/ScheduledTask.h"
#include "tests/support/Sandbox.h"

#include <string>

namespace {

class ScheduledTaskTest : public SandboxTest {
protected:
    void TearDown() override
    {
        RemoveEraseTask();
        SandboxTest::TearDown();
    }

    // The current user's task as the Task Scheduler holds it, as a document; wherever it went.
    ComPtr<IXMLDOMNode> RegisteredTask()
    {
        TaskScheduler scheduler;
        std::string xml;
        if (FAILED(scheduler.ReadXml(kEraseTaskFolder, EraseTaskName(), xml))) {
            EXPECT_HRESULT_SUCCEEDED(scheduler.ReadXml("\\", EraseTaskRootName(), xml));
        }
        return Document(xml);
    }

    ComPtr<IXMLDOMNode> Document(std::string xml)
    {
        // Its declaration says UTF-16, which the file written here is not.
        if (size_t end = xml.find("?>"); xml.starts_with("<?xml") && end != std::string::npos)
            xml.erase(0, end + 2);
        WriteFile("task.xml", xml);
        ComPtr<IXMLDOMNode> root;
        EXPECT_EQ(LoadXmlDocument(PathOf("task.xml"), root), S_OK) << xml;
        return root;
    }

    static std::string TextAt(IXMLDOMNode* node, std::initializer_list<const char*> path)
    {
        ComPtr<IXMLDOMNode> current;
        for (const char* name : path) {
            ComPtr<IXMLDOMNode> next;
            if (!node || !FindChildElement(current ? current.get() : node, name, "", "", next))
                return "(no " + std::string(name) + ")";
            current = std::move(next);
        }
        return NodeText(current.get());
    }

    ComInit com_;
};

// "Also when Vestrel is closed" leaves a task that runs vestrel-cli's scheduled erase at the period's
// moment as this user; choosing another period replaces it, and turning the option off removes it.
TEST_F(ScheduledTaskTest, TheEraseTaskIsRegisteredReadBackReplacedAndRemoved)
{
    ASSERT_HRESULT_SUCCEEDED(TaskScheduler().Status()) << "the Task Scheduler cannot be reached";
    const std::string cli = "C:\\Programs\\Vestrel & Co\\vestrel-cli.exe";
    ASSERT_HRESULT_SUCCEEDED(RegisterEraseTask(3, cli)); // One Day
    EXPECT_TRUE(IsEraseTaskRegistered());
    ComPtr<IXMLDOMNode> task = RegisteredTask();
    EXPECT_EQ(TextAt(task.get(), {"Settings", "ExecutionTimeLimit"}), "PT2H") << "not the task registered";
    // Wine's scheduler keeps neither triggers nor actions; there, what was handed to it is checked.
    if (TextAt(task.get(), {"Actions", "Exec", "Command"}).starts_with("(no "))
        task = Document(EraseTaskXml(3, cli, "2026-12-09"));
    EXPECT_EQ(TextAt(task.get(), {"Actions", "Exec", "Command"}), cli);
    EXPECT_EQ(TextAt(task.get(), {"Actions", "Exec", "Arguments"}), "erase --scheduled");
    EXPECT_EQ(TextAt(task.get(), {"Actions", "Exec", "WorkingDirectory"}), "C:\\Programs\\Vestrel & Co");
    EXPECT_TRUE(TextAt(task.get(), {"Triggers", "CalendarTrigger", "StartBoundary"}).ends_with("T10:02:00"));
    EXPECT_EQ(TextAt(task.get(), {"Triggers", "CalendarTrigger", "ScheduleByDay", "DaysInterval"}), "1");
    EXPECT_EQ(TextAt(task.get(), {"Principals", "Principal", "LogonType"}), "InteractiveToken");
    // Windows names the user who registered it (DOMAIN\\name or their SID); without a name it runs as
    // that user too.
    std::string user = TextAt(task.get(), {"Principals", "Principal", "UserId"});
    if (!user.starts_with("(no ")) {
        std::string name = user.substr(user.find('\\') + 1);
        EXPECT_TRUE(user.starts_with("S-1-5-") || EraseTaskName() == "Scheduled erase (" + name + ")")
            << user;
    }
    EXPECT_EQ(TextAt(Document(EraseTaskXml(0, cli, "2026-12-09")).get(),
                     {"Triggers", "CalendarTrigger", "Repetition", "Interval"}),
              "PT30M");

    ASSERT_HRESULT_SUCCEEDED(RegisterEraseTask(0, cli)); // Half Hour: replaces the day's
    EXPECT_TRUE(IsEraseTaskRegistered());
    EXPECT_EQ(RemoveEraseTask(), S_OK);
    EXPECT_FALSE(IsEraseTaskRegistered());
    EXPECT_EQ(RemoveEraseTask(), S_FALSE);
}

} // namespace

#include "framework/Application.h"
#include "framework/Utf8.h"

#include <gtest/gtest.h>

namespace {

class TestApplication : public Application {
    int Run() override { return 0; }
};

TEST(ApplicationTest, IsNamedAfterItsExecutable)
{
    TestApplication application;
    EXPECT_EQ(&Application::Current(), &application);
    EXPECT_EQ(application.Name(), "framework_tests");
    EXPECT_TRUE(application.ExecutablePath().ends_with("\\framework_tests.exe"));
    EXPECT_NE(GetFileAttributesW(ToWide(application.ExecutablePath()).c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace

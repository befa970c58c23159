#include "framework/LowerCase.h"

#include <gtest/gtest.h>

namespace {

// Plain ASCII names take a shorter way than the others; both must give the system's lower case.
TEST(LowerCase, PlainAndAccentedNamesLowerCaseAlike)
{
    EXPECT_EQ(LowerCase("HKEY_Current_User\\Software\\Bench Vendor 12 [x64]"),
              "hkey_current_user\\software\\bench vendor 12 [x64]");
    EXPECT_EQ(LowerCase("C:\\Users\\ÄNNE\\AppData\\ΣΟΦΙΑ"), "c:\\users\\änne\\appdata\\σοφια");
    EXPECT_EQ(LowerCase("ISTANBUL"), "istanbul"); // never a dotless i, whatever the user's language
    EXPECT_EQ(LowerCase(std::string_view("A\0B", 3)), std::string("a\0b", 3));
    EXPECT_EQ(LowerCase(""), "");
}

} // namespace

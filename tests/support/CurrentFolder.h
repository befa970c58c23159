#pragma once
#include "framework/Utf8.h"
#include "tests/support/Processes.h"

#include <windows.h>

#include <string>

// Makes a folder the current folder for one scope. Afterwards the test program's folder is current: the
// folder Wine starts a program in can be a name it cannot enter again.
class CurrentFolderForTest {
public:
    explicit CurrentFolderForTest(const std::string& folder)
        : entered_(SetCurrentDirectoryW(ToWide(folder).c_str()) != FALSE)
    {
    }
    ~CurrentFolderForTest() { SetCurrentDirectoryW(ToWide(TestProgramFolder()).c_str()); }
    CurrentFolderForTest(const CurrentFolderForTest&) = delete;
    CurrentFolderForTest& operator=(const CurrentFolderForTest&) = delete;

    bool entered() const { return entered_; }

private:
    bool entered_;
};

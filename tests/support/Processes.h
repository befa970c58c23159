#pragma once
#include "framework/Owners.h"

#include <string>

// Starts a program, waits for it at most timeoutMs and returns its exit code (-1 when it could not
// start or did not end in time, in which case it is terminated).
int RunAndWait(const std::string& commandLine, unsigned timeoutMs = 60000);

// Starts a program and returns its process at once; empty when it could not start.
UniqueHandle StartProgram(const std::string& commandLine);

// Copies a file, creating nothing else; false when the copy failed.
bool CopyFileForTest(const std::string& from, const std::string& to);

// The folder that holds the running test program, ending in a backslash.
std::string TestProgramFolder();

// Starts a copy of the test program with a window (helpers/window_program.cpp) from folder, in mode
// "quits", "refuses" or "hidden", and waits until its window shows (in the first two). Null when it
// could not start or show.
UniqueHandle StartWindowProgram(const std::string& folder, const std::string& mode);

#pragma once
#include <string>

// Starts a program, waits for it at most timeoutMs and returns its exit code (-1 when it could not
// start or did not end in time, in which case it is terminated).
int RunAndWait(const std::string& commandLine, unsigned timeoutMs = 60000);

// Copies a file, creating nothing else; false when the copy failed.
bool CopyFileForTest(const std::string& from, const std::string& to);

// The folder that holds the running test program, ending in a backslash.
std::string TestProgramFolder();

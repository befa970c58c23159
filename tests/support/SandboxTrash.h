#pragma once
#include <gtest/gtest.h>

#include <string>

// Wine keeps its recycle bin in the trash of the Unix HOME. Emptying it from a test is safe only when the
// prefix moved HOME into the sandbox; a test that empties a bin asserts this first.
testing::AssertionResult TrashIsInTheSandbox();

// Moves a file or folder to the recycle bin as Explorer does (undo allowed, no questions asked).
bool RecycleForTest(const std::string& path);

// The number of items in the sandbox's trash, counted in its folder.
int ItemsInSandboxTrash();

// Empties the bin without progress window or sound.
void EmptyRecycleBinForTest();

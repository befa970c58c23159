#pragma once
#include <string>

// What kind of target a refused one is, in words: "a protected registry key", "a program name holding a
// quote" or "a drive root or protected folder".
const char* RefusedKind(const std::string& path);

// A refused target as reports and the record file name it: the path and, in brackets, its kind.
std::string RefusedText(const std::string& path);

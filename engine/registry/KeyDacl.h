#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The discretionary ACL of a registry key, read and written with the key's own security calls. Paths are
// UTF-8 and relative to the root key.

// A self-relative security descriptor that holds only the key's DACL; empty when it cannot be read.
std::vector<BYTE> GetKeyDacl(HKEY root, const std::string& path);
// Replaces the key's DACL with the descriptor's; false when the key cannot be opened or refuses it.
bool SetKeyDacl(HKEY root, const std::string& path, PSECURITY_DESCRIPTOR descriptor);
// The same for the key and, below it, every subkey at every depth; links are set themselves, never entered.
void SetKeyDaclTree(HKEY root, const std::string& path, PSECURITY_DESCRIPTOR descriptor);

#pragma once
#include <gtest/gtest.h>

#include <string>
#include <string_view>

// A fresh folder on the sandbox drive and a scratch registry key under
// HKEY_CURRENT_USER\Software\Vestrel Tests for each test; both are removed afterwards.
class SandboxTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const std::string& Folder() const { return folder_; } // ends in a backslash
    std::string PathOf(std::string_view relative) const { return folder_ + std::string(relative); }
    void WriteFile(std::string_view relative, std::string_view bytes) const;
    std::string ReadFile(std::string_view relative) const;
    bool Exists(std::string_view relative) const;
    void MakeFolder(std::string_view relative) const;

    // Relative to HKEY_CURRENT_USER, without a trailing backslash.
    const std::string& ScratchKey() const { return scratchKey_; }

private:
    std::string folder_;
    std::string scratchKey_;
};

// Removes a folder tree without ever entering a link; the tests' own clean-up, independent of the engine.
void RemoveTreeForTest(const std::string& folder);

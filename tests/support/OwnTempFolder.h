#pragma once
#include <string>

// Points GetTempPath at a fresh folder of the test's own inside the prefix's temporary folder, for as
// long as the object lives, so that the temp cleaner meets only what the test put there. Other programs
// of the prefix, which may use the temporary folder meanwhile, are not disturbed.
class OwnTempFolder {
public:
    OwnTempFolder();
    ~OwnTempFolder();
    OwnTempFolder(const OwnTempFolder&) = delete;
    OwnTempFolder& operator=(const OwnTempFolder&) = delete;

    const std::string& Folder() const { return folder_; } // without a trailing backslash

private:
    std::string folder_;
    std::wstring oldValue_;
    bool hadOldValue_ = false;
};

#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The SID of the user the process runs as, copied out of its token; empty when the token cannot be read.
class UserSid {
public:
    static UserSid OfCurrentProcess();

    bool empty() const { return bytes_.empty(); }
    PSID get() const { return empty() ? nullptr : const_cast<BYTE*>(bytes_.data()); }

    // "S-1-" with the last byte of the identifier authority, then "-" and each sub-authority: the standard
    // text for every SID whose authority fits in that byte, as all user SIDs do.
    std::string Text() const;

private:
    std::vector<BYTE> bytes_;
};

// The same text for any valid SID.
std::string SidText(PSID sid);

#pragma once
#include <windows.h>

#include <vector>

// A security descriptor whose DACL gives full access to one user and to LocalSystem, inherited by every
// subkey. It points into its own ACL buffer, so it stays where it was built.
class FullAccessDescriptor {
public:
    explicit FullAccessDescriptor(PSID user);
    FullAccessDescriptor(const FullAccessDescriptor&) = delete;
    FullAccessDescriptor& operator=(const FullAccessDescriptor&) = delete;

    // Null when the descriptor could not be built.
    PSECURITY_DESCRIPTOR get() { return built_ ? &descriptor_ : nullptr; }

private:
    bool Build(PSID user);

    std::vector<BYTE> acl_;
    SECURITY_DESCRIPTOR descriptor_{};
    bool built_ = false;
};

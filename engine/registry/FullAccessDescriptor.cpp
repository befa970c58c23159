#include "engine/registry/FullAccessDescriptor.h"

namespace {

const DWORD kInherited = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;

DWORD AceSize(PSID sid)
{
    return sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(sid);
}

} // namespace

FullAccessDescriptor::FullAccessDescriptor(PSID user) : built_(Build(user)) {}

bool FullAccessDescriptor::Build(PSID user)
{
    if (!user || !IsValidSid(user))
        return false;
    BYTE systemBytes[SECURITY_MAX_SID_SIZE];
    DWORD systemSize = sizeof systemBytes;
    PSID system = systemBytes;
    if (!CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &systemSize))
        return false;

    DWORD aclSize = sizeof(ACL) + AceSize(user) + AceSize(system);
    acl_.assign(aclSize, 0);
    auto* acl = reinterpret_cast<ACL*>(acl_.data());
    return InitializeAcl(acl, aclSize, ACL_REVISION) &&
           AddAccessAllowedAceEx(acl, ACL_REVISION, kInherited, KEY_ALL_ACCESS, user) &&
           AddAccessAllowedAceEx(acl, ACL_REVISION, kInherited, KEY_ALL_ACCESS, system) &&
           InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
           SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE);
}

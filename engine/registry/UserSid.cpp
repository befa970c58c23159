#include "engine/registry/UserSid.h"

#include "framework/Owners.h"

UserSid UserSid::OfCurrentProcess()
{
    UserSid result;
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()))
        return result;
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0)
        return result;
    std::vector<BYTE> information(size);
    if (!GetTokenInformation(token.get(), TokenUser, information.data(), size, &size))
        return result;
    PSID sid = reinterpret_cast<TOKEN_USER*>(information.data())->User.Sid;
    if (!IsValidSid(sid))
        return result;
    std::vector<BYTE> copy(GetLengthSid(sid));
    if (CopySid(static_cast<DWORD>(copy.size()), copy.data(), sid))
        result.bytes_ = std::move(copy);
    return result;
}

std::string UserSid::Text() const
{
    return empty() ? std::string() : SidText(get());
}

std::string SidText(PSID sid)
{
    if (!sid || !IsValidSid(sid))
        return {};
    std::string text = "S-1-" + std::to_string(GetSidIdentifierAuthority(sid)->Value[5]);
    BYTE count = *GetSidSubAuthorityCount(sid);
    for (BYTE i = 0; i < count; ++i) {
        text += '-';
        text += std::to_string(*GetSidSubAuthority(sid, i));
    }
    return text;
}

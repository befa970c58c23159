#include "engine/cleaners/AutoCompleteCleaners.h"

#include "engine/registry/FullAccessDescriptor.h"
#include "engine/registry/KeyDacl.h"
#include "engine/registry/RegistryEraser.h"
#include "engine/registry/UserSid.h"
#include "framework/Utf8.h"

#include <windows.h>
#include <lmcons.h>

#include <string>

namespace {

const char kProvider[] = "Software\\Microsoft\\Protected Storage System Provider\\";
const char kAutoCompleteData[] = "\\Data\\e161255a-37c3-11d2-bcaa-00c04fd929db";

// The user's own key, locked to LocalSystem: opened up, emptied, and given its old DACL back. The keys
// below it keep the open DACL, which is harmless: the data they guarded is gone.
void DeleteUserForms()
{
    UserSid user = UserSid::OfCurrentProcess();
    if (user.empty())
        return;
    std::string userKey = kProvider + user.Text();
    std::vector<BYTE> savedDacl = GetKeyDacl(HKEY_CURRENT_USER, userKey);

    FullAccessDescriptor open(user.get());
    if (open.get()) {
        SetKeyDacl(HKEY_CURRENT_USER, userKey, open.get());
        SetKeyDacl(HKEY_CURRENT_USER, userKey + "\\Data", open.get());
        SetKeyDaclTree(HKEY_CURRENT_USER, userKey + kAutoCompleteData, open.get());
        RegistryEraser().DeleteKeyByPath("HKEY_CURRENT_USER\\" + userKey + kAutoCompleteData);
    }
    if (!savedDacl.empty())
        SetKeyDacl(HKEY_CURRENT_USER, userKey, savedDacl.data());
}

std::string UserName()
{
    wchar_t name[UNLEN + 1];
    DWORD length = UNLEN + 1;
    if (!GetUserNameW(name, &length) || length == 0)
        return {};
    return ToUtf8(std::wstring_view(name, length - 1)); // the length counts the terminator
}

void DeleteMachineForms()
{
    std::string user = UserName();
    if (!user.empty())
        RegistryEraser().DeleteKeyByPath("HKEY_LOCAL_MACHINE\\" + std::string(kProvider) + user +
                                         kAutoCompleteData);
}

} // namespace

void DeleteProtectedStorageForms(double windowsVersion)
{
    if (windowsVersion >= 5)
        DeleteUserForms();
    DeleteMachineForms();
}

void DeleteIntelliForms()
{
    RegistryEraser().DeleteKeyByPath(
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\IntelliForms");
}

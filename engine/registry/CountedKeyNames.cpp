#include "engine/registry/CountedKeyNames.h"

#include "framework/Utf8.h"

#include <winternl.h>

#include <vector>

namespace {

// The native registry calls, which take names as counted strings. The driver kit declares them.
enum CountedInformationClass { kBasicInformation = 0 };

struct KeyBasicInformation {
    LARGE_INTEGER lastWriteTime;
    ULONG titleIndex;
    ULONG nameLength;
    WCHAR name[1];
};

struct ValueBasicInformation {
    ULONG titleIndex;
    ULONG type;
    ULONG nameLength;
    WCHAR name[1];
};

extern "C" {
NTSYSAPI NTSTATUS NTAPI NtOpenKey(PHANDLE key, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes);
NTSYSAPI NTSTATUS NTAPI NtEnumerateKey(HANDLE key, ULONG index, CountedInformationClass kind, PVOID buffer,
                                       ULONG length, PULONG resultLength);
NTSYSAPI NTSTATUS NTAPI NtEnumerateValueKey(HANDLE key, ULONG index, CountedInformationClass kind,
                                            PVOID buffer, ULONG length, PULONG resultLength);
NTSYSAPI NTSTATUS NTAPI NtQueryValueKey(HANDLE key, PUNICODE_STRING name, CountedInformationClass kind,
                                        PVOID buffer, ULONG length, PULONG resultLength);
NTSYSAPI NTSTATUS NTAPI NtDeleteValueKey(HANDLE key, PUNICODE_STRING name);
}

constexpr NTSTATUS kBufferOverflow = static_cast<NTSTATUS>(0x80000005);
constexpr NTSTATUS kBufferTooSmall = static_cast<NTSTATUS>(0xC0000023);
// Registry names hold at most 32767 characters; more cannot be counted in a UNICODE_STRING anyway.
constexpr size_t kLongestName = 32767;

LONG ErrorOf(NTSTATUS status)
{
    return static_cast<LONG>(RtlNtStatusToDosError(status));
}

// A counted view of name; false when it is too long for one.
bool Counted(std::wstring_view name, UNICODE_STRING& counted)
{
    if (name.size() > kLongestName)
        return false;
    counted.Length = counted.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    counted.Buffer = const_cast<wchar_t*>(name.data());
    return true;
}

// Calls enumerate with a buffer that grows until the entry's information fits.
template <typename Information, typename Enumerate>
LONG NameAt(std::wstring& name, Enumerate enumerate)
{
    std::vector<char> buffer(sizeof(Information) + 256 * sizeof(wchar_t));
    for (;;) {
        ULONG needed = 0;
        NTSTATUS status = enumerate(buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (NT_SUCCESS(status)) {
            const auto* information = reinterpret_cast<const Information*>(buffer.data());
            name.assign(information->name, information->nameLength / sizeof(wchar_t));
            return ERROR_SUCCESS;
        }
        if ((status != kBufferOverflow && status != kBufferTooSmall) || needed <= buffer.size())
            return ErrorOf(status);
        buffer.resize(needed);
    }
}

} // namespace

LONG CountedSubkeyNameAt(HKEY key, DWORD index, std::wstring& name)
{
    return NameAt<KeyBasicInformation>(name, [key, index](void* buffer, ULONG length, ULONG* needed) {
        return NtEnumerateKey(key, index, kBasicInformation, buffer, length, needed);
    });
}

LONG CountedValueNameAt(HKEY key, DWORD index, std::wstring& name)
{
    return NameAt<ValueBasicInformation>(name, [key, index](void* buffer, ULONG length, ULONG* needed) {
        return NtEnumerateValueKey(key, index, kBasicInformation, buffer, length, needed);
    });
}

LONG OpenCountedSubkey(HKEY key, std::wstring_view name, REGSAM access, RegKeyHandle& opened)
{
    UNICODE_STRING counted;
    if (!Counted(name, counted))
        return ERROR_INVALID_PARAMETER;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &counted, OBJ_CASE_INSENSITIVE | OBJ_OPENLINK, key, nullptr);
    HANDLE handle = nullptr;
    NTSTATUS status = NtOpenKey(&handle, access, &attributes);
    if (!NT_SUCCESS(status))
        return ErrorOf(status);
    opened.reset(static_cast<HKEY>(handle));
    return ERROR_SUCCESS;
}

LONG DeleteCountedValue(HKEY key, std::wstring_view name)
{
    UNICODE_STRING counted;
    if (!Counted(name, counted))
        return ERROR_INVALID_PARAMETER;
    return ErrorOf(NtDeleteValueKey(key, &counted));
}

LONG QueryCountedValue(HKEY key, std::wstring_view name)
{
    UNICODE_STRING counted;
    if (!Counted(name, counted))
        return ERROR_INVALID_PARAMETER;
    ValueBasicInformation information;
    ULONG needed = 0;
    NTSTATUS status =
        NtQueryValueKey(key, &counted, kBasicInformation, &information, sizeof(information), &needed);
    return NT_SUCCESS(status) || status == kBufferOverflow || status == kBufferTooSmall ? ERROR_SUCCESS
                                                                                        : ErrorOf(status);
}

std::string CountedNameText(std::wstring_view name)
{
    std::string text = ToUtf8(name);
    for (size_t at = text.find('\0'); at != std::string::npos; at = text.find('\0', at))
        text.replace(at, 1, "\xE2\x90\x80");
    return text;
}

#include "tests/engine/FolderLinkForTest.h"

#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <vector>

namespace {

// The mount-point form of REPARSE_DATA_BUFFER, which only the driver kit's headers declare.
struct MountPointReparseBuffer {
    ULONG reparseTag;
    USHORT reparseDataLength;
    USHORT reserved;
    USHORT substituteNameOffset;
    USHORT substituteNameLength;
    USHORT printNameOffset;
    USHORT printNameLength;
    WCHAR pathBuffer[1];
};

bool MakeJunction(const std::wstring& link, const std::wstring& target)
{
    if (!CreateDirectoryW(link.c_str(), nullptr))
        return false;
    UniqueHandle folder(CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    std::wstring substitute = L"\\??\\" + target;
    size_t names = (substitute.size() + 1 + target.size() + 1) * sizeof(wchar_t);
    std::vector<char> bytes(offsetof(MountPointReparseBuffer, pathBuffer) + names);
    auto* buffer = reinterpret_cast<MountPointReparseBuffer*>(bytes.data());
    buffer->reparseTag = IO_REPARSE_TAG_MOUNT_POINT;
    buffer->reparseDataLength = static_cast<USHORT>(8 + names);
    buffer->substituteNameLength = static_cast<USHORT>(substitute.size() * sizeof(wchar_t));
    buffer->printNameOffset = static_cast<USHORT>((substitute.size() + 1) * sizeof(wchar_t));
    buffer->printNameLength = static_cast<USHORT>(target.size() * sizeof(wchar_t));
    std::memcpy(buffer->pathBuffer, substitute.c_str(), (substitute.size() + 1) * sizeof(wchar_t));
    std::memcpy(buffer->pathBuffer + substitute.size() + 1, target.c_str(),
                (target.size() + 1) * sizeof(wchar_t));
    DWORD returned = 0;
    bool made = folder && DeviceIoControl(folder.get(), FSCTL_SET_REPARSE_POINT, buffer,
                                          static_cast<DWORD>(bytes.size()), nullptr, 0, &returned, nullptr);
    folder.reset();
    if (!made)
        RemoveDirectoryW(link.c_str());
    return made;
}

// Wine runs the program as a Linux process and names a DOS path's Unix file; the link is made by the
// Linux system call itself, as no Win32 call of Wine makes one.
using UnixFileName = char*(CDECL*)(LPCWSTR);

UnixFileName WineUnixFileName()
{
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<UnixFileName>(
                        reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")))
                  : nullptr;
}

std::string UnixPath(UnixFileName unixFileName, const std::wstring& path)
{
    char* name = unixFileName(path.c_str());
    if (!name)
        return {};
    std::string text = name;
    HeapFree(GetProcessHeap(), 0, name);
    return text;
}

long LinuxSymlink(const char* target, const char* link)
{
    long result = -1;
#if defined(__i386__)
    asm volatile("int $0x80" : "=a"(result) : "a"(83), "b"(target), "c"(link) : "memory");
#elif defined(__x86_64__)
    asm volatile("syscall" : "=a"(result) : "a"(88L), "D"(target), "S"(link) : "rcx", "r11", "memory");
#endif
    return result;
}

long LinuxCreate(const char* path, bool folder)
{
    long result = -1;
#if defined(__i386__)
    asm volatile("int $0x80"
                 : "=a"(result)
                 : "a"(folder ? 39 : 5), "b"(path), "c"(folder ? 0755 : 0101), "d"(0644)
                 : "memory");
    if (result >= 0 && !folder)
        asm volatile("int $0x80" : "=a"(result) : "a"(6), "b"(result) : "memory");
#elif defined(__x86_64__)
    asm volatile("syscall"
                 : "=a"(result)
                 : "a"(folder ? 83L : 2L), "D"(path), "S"(folder ? 0755L : 0101L), "d"(0644L)
                 : "rcx", "r11", "memory");
    if (result >= 0 && !folder)
        asm volatile("syscall" : "=a"(result) : "a"(3L), "D"(result) : "rcx", "r11", "memory");
#endif
    return result;
}

long LinuxRemove(const char* path, bool folder)
{
    long result = -1;
#if defined(__i386__)
    asm volatile("int $0x80" : "=a"(result) : "a"(folder ? 40 : 10), "b"(path) : "memory");
#elif defined(__x86_64__)
    asm volatile("syscall" : "=a"(result) : "a"(folder ? 84L : 87L), "D"(path) : "rcx", "r11", "memory");
#endif
    return result;
}

// The extended form of path with its own name as it stands: a final dot or blank stays.
std::wstring ExtendedKeepingName(const std::string& path)
{
    size_t slash = path.find_last_of('\\');
    return ToExtendedPath(path.substr(0, slash)) + ToWide(path.substr(slash));
}

bool MakeUnixLink(const std::wstring& link, const std::wstring& target)
{
    UnixFileName unixFileName = WineUnixFileName();
    if (!unixFileName)
        return false;
    std::string unixTarget = UnixPath(unixFileName, target);
    std::string unixLink = UnixPath(unixFileName, link);
    return !unixTarget.empty() && !unixLink.empty() &&
           LinuxSymlink(unixTarget.c_str(), unixLink.c_str()) == 0;
}

} // namespace

bool IsLinkForTest(const std::string& path)
{
    DWORD attributes = GetFileAttributesW(ExtendedKeepingName(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool MakeFolderLinkForTest(const std::string& link, const std::string& target)
{
    std::wstring wideLink = ToExtendedPath(link);
    std::wstring wideTarget = ToWide(target);
    CreateSymbolicLinkW(wideLink.c_str(), wideTarget.c_str(),
                        SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    if (IsLinkForTest(link))
        return true;
    return MakeJunction(wideLink, wideTarget) || (MakeUnixLink(wideLink, wideTarget) && IsLinkForTest(link));
}

bool MakeLinkLoopForTest(const std::string& link)
{
    MakeFolderLinkForTest(link, link);
    return GetFileAttributesW(ToExtendedPath(link).c_str()) == INVALID_FILE_ATTRIBUTES &&
           GetLastError() == ERROR_CANT_RESOLVE_FILENAME;
}

void RemoveFolderLinkForTest(const std::string& link)
{
    std::wstring wideLink = ToExtendedPath(link);
    if (RemoveDirectoryW(wideLink.c_str()))
        return;
    // A plain folder or file stays; a link, also a loop that Wine cannot open, goes.
    bool unresolved = GetFileAttributesW(wideLink.c_str()) == INVALID_FILE_ATTRIBUTES &&
                      GetLastError() == ERROR_CANT_RESOLVE_FILENAME;
    if (!unresolved && !IsLinkForTest(link))
        return;
    if (UnixFileName unixFileName = WineUnixFileName())
        LinuxRemove(UnixPath(unixFileName, wideLink).c_str(), false);
}

bool MakeFileLinkForTest(const std::string& link, const std::string& target)
{
    std::wstring wideLink = ExtendedKeepingName(link);
    std::wstring wideTarget = ToWide(target);
    // Some systems report success without making anything.
    CreateSymbolicLinkW(wideLink.c_str(), wideTarget.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    if (IsLinkForTest(link))
        return true;
    return MakeUnixLink(wideLink, wideTarget) &&
           GetFileAttributesW(wideLink.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Under Wine DeleteFileW would delete a Unix link's target.
void RemoveFileLinkForTest(const std::string& link)
{
    std::wstring wideLink = ExtendedKeepingName(link);
    if (UnixFileName unixFileName = WineUnixFileName())
        LinuxRemove(UnixPath(unixFileName, wideLink).c_str(), false);
    else
        DeleteFileW(wideLink.c_str());
}

namespace {

// The Unix path of unixName in folder; empty when not under Wine.
std::string UnixEntryPath(const std::string& folder, const std::string& unixName)
{
    UnixFileName unixFileName = WineUnixFileName();
    std::string parent = unixFileName ? UnixPath(unixFileName, ToExtendedPath(folder)) : std::string();
    return parent.empty() ? parent : parent + "/" + unixName;
}

} // namespace

bool MakeUnixEntryForTest(const std::string& folder, const std::string& unixName, bool isFolder)
{
    std::string path = UnixEntryPath(folder, unixName);
    return !path.empty() && LinuxCreate(path.c_str(), isFolder) == 0;
}

void RemoveUnixEntryForTest(const std::string& folder, const std::string& unixName, bool isFolder)
{
    std::string path = UnixEntryPath(folder, unixName);
    if (!path.empty())
        LinuxRemove(path.c_str(), isFolder);
}

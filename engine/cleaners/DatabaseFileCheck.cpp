#include "engine/cleaners/DatabaseFileCheck.h"

#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <windows.h>

#include <cstring>
#include <optional>

namespace {

struct FileStart {
    uint64_t size = 0;
    char bytes[16] = {};
};

// The size and the first bytes of a file, read while the browser may hold it; nothing when it is missing
// or cannot be opened.
std::optional<FileStart> StartOf(const std::string& path)
{
    UniqueHandle file(CreateFileW(ToExtendedPath(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size))
        return std::nullopt;
    FileStart start;
    start.size = static_cast<uint64_t>(size.QuadPart);
    DWORD read = 0;
    if (!ReadFile(file.get(), start.bytes, sizeof start.bytes, &read, nullptr))
        return std::nullopt;
    return start;
}

// A database file opens with this text; its header is 100 bytes long.
const char kDatabaseMagic[] = "SQLite format 3";
constexpr uint64_t kDatabaseHeader = 100;

// A write-ahead log opens with a big-endian magic number (0x377f0682 or 0x377f0683) in a 32-byte header.
bool IsLogHeader(const FileStart& log)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(log.bytes);
    return log.size >= 32 && bytes[0] == 0x37 && bytes[1] == 0x7f && bytes[2] == 0x06 &&
           (bytes[3] == 0x82 || bytes[3] == 0x83);
}

} // namespace

std::string UnsafeDatabaseReason(const std::string& path)
{
    std::optional<FileStart> file = StartOf(path);
    if (!file)
        return {};
    std::optional<FileStart> log = StartOf(path + "-wal");
    bool logHoldsData = log && log->size > 0;
    if (file->size == 0)
        return logHoldsData ? "its data lies only in its write-ahead log (the browser ended before moving it "
                              "into the file), which opening it would delete"
                            : "";
    if (file->size < kDatabaseHeader || std::memcmp(file->bytes, kDatabaseMagic, sizeof kDatabaseMagic) != 0)
        return "it is not an SQLite database";
    if (logHoldsData && !IsLogHeader(*log))
        return "its write-ahead log is not an SQLite log";
    return {};
}

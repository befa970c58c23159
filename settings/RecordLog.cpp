#include "settings/RecordLog.h"

#include "settings/AppPaths.h"
#include "framework/Format.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <windows.h>

namespace {

// Year-month-day, then the clock with the given separator, zero-padded so that every stamp has the same
// width and the lines sort by time: 2004-07-03 09:05:00.
std::string TimeStamp(char clockSeparator)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return Format("%04u-%02u-%02u %02u%c%02u%c%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  clockSeparator, now.wMinute, clockSeparator, now.wSecond);
}

std::string Bracketed(const std::string& text)
{
    std::string out(1, '[');
    out += text;
    out += ']';
    return out;
}

struct Escape {
    std::string text;
    size_t length = 0; // bytes it replaces; 0: the byte is written as it is
};

// A control character, and a character some readers take for a line's end (NEL, LINE SEPARATOR,
// PARAGRAPH SEPARATOR), as its escape.
Escape EscapeAt(std::string_view text, size_t at)
{
    auto byte = [&](size_t ahead) {
        return at + ahead < text.size() ? static_cast<unsigned char>(text[at + ahead]) : 0u;
    };
    unsigned c = byte(0);
    if (c == '\r')
        return {"\\r", 1};
    if (c == '\n')
        return {"\\n", 1};
    if (c == '\t')
        return {"\\t", 1};
    if (c < 0x20 || c == 0x7f)
        return {Format("\\x%02x", c), 1};
    if (c == 0xc2 && byte(1) >= 0x80 && byte(1) <= 0x9f)
        return {Format("\\u%04x", byte(1)), 2};
    if (c == 0xe2 && byte(1) == 0x80 && (byte(2) == 0xa8 || byte(2) == 0xa9))
        return {Format("\\u%04x", 0x2000 + byte(2) - 0x80), 3};
    return {};
}

// Every text of a line on one line, so no name, path or reason can start a line of its own.
std::string OneLine(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        Escape escape = EscapeAt(text, at);
        if (escape.length == 0) {
            out += text[at++];
        } else {
            out += escape.text;
            at += escape.length;
        }
    }
    return out;
}

} // namespace

RecordLog::RecordLog(std::string path) : path_(std::move(path)) {}

RecordLog::RecordLog() : RecordLog(GetRecordFilePath()) {}

void RecordLog::Write(const std::string& message, int level)
{
    if (!enabled_ || level > maxLevel_)
        return;
    UniqueHandle file(CreateFileW(ToExtendedPath(path_).c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    std::string line = Bracketed(TimeStamp(':')) + OneLine(message) + "\r\n";
    DWORD written = 0;
    WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    LARGE_INTEGER size{};
    bool sized = GetFileSizeEx(file.get(), &size);
    file.reset();
    if (sized && static_cast<unsigned long long>(size.QuadPart) >= sizeLimit_)
        SetAside();
}

void RecordLog::SetAside() const
{
    // A file name cannot hold colons, so the clock is written with dashes here.
    size_t nameStart = path_.find_last_of('\\') + 1; // 0 when the path has no folder
    std::string asideName = path_.substr(0, nameStart) + Bracketed(TimeStamp('-')) + path_.substr(nameStart);
    MoveFileW(ToExtendedPath(path_).c_str(), ToExtendedPath(asideName).c_str());
}

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

// The file holds text lines ending in CR LF, as a text-mode stream writes them.
std::string WithCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + 2);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
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
    std::string line = WithCrLf(Bracketed(TimeStamp(':')) + message + "\n");
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

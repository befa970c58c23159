#include "settings/ConfigFile.h"

#include "framework/Utf8.h"

#include <windows.h>

namespace {

const char kAppElement[] = "app-config";
const char kPageElement[] = "current-page";

bool PutInPlace(const std::wstring& target, const std::wstring& replacement)
{
    // ReplaceFileW keeps the old file's attributes and security, but needs an old file to replace.
    if (ReplaceFileW(target.c_str(), replacement.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr))
        return true;
    return MoveFileExW(replacement.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

// A read-only file is kept as the user made it, and a folder of that name is not the file to replace.
bool MayReplace(const std::wstring& target)
{
    DWORD attributes = GetFileAttributesW(target.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ||
           !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

} // namespace

ConfigFile::ConfigFile(std::string path, bool read) : path_(std::move(path)), newPath_(path_ + ".new")
{
    if (read)
        Load(path_);
}

ConfigFile::~ConfigFile()
{
    Discard();
}

bool ConfigFile::OpenForWrite()
{
    Discard();
    writeFailed_ = false;
    if (!MayReplace(ToExtendedPath(path_)))
        return false;
    // No sharing: a second writer at the same moment fails rather than mixing its lines into this file.
    output_.reset(CreateFileW(ToExtendedPath(newPath_).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(output_);
}

void ConfigFile::WriteLine(std::string_view text)
{
    std::string line(text);
    line += "\r\n";
    DWORD written = 0;
    if (!output_ ||
        !WriteFile(output_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
        written != line.size())
        writeFailed_ = true;
}

void ConfigFile::WriteItem(std::string_view key, bool value)
{
    WriteElement(key, value ? "true" : "false");
}

void ConfigFile::WriteElement(std::string_view key, std::string_view text)
{
    WriteLine(ElementLine(key, text));
}

void ConfigFile::WriteOpening()
{
    for (const std::string& line : OpeningLines())
        WriteLine(line);
}

void ConfigFile::WriteClosing(int currentPage)
{
    for (const std::string& line : ClosingLines(currentPage))
        WriteLine(line);
}

std::string ConfigFile::ElementLine(std::string_view key, std::string_view text)
{
    std::string k(key);
    std::string line = "        <" + k + ">";
    for (char c : text) {
        if (c == '&')
            line += "&amp;";
        else if (c == '<')
            line += "&lt;";
        else if (c == '>')
            line += "&gt;";
        else
            line += c;
    }
    return line + "</" + k + ">";
}

std::vector<std::string> ConfigFile::OpeningLines()
{
    return {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "<vestrel-config>",
            std::string("    <") + kItemsElement + ">"};
}

std::vector<std::string> ConfigFile::ClosingLines(int currentPage)
{
    return {std::string("    </") + kItemsElement + ">", std::string("    <") + kAppElement + ">",
            std::string("        <") + kPageElement + ">" + std::to_string(currentPage) + "</" + kPageElement +
                ">",
            std::string("    </") + kAppElement + ">", "</vestrel-config>"};
}

bool ConfigFile::Holds(const std::vector<std::string>& lines) const
{
    std::string expected;
    for (const std::string& line : lines)
        expected += line + "\r\n";
    UniqueHandle file(CreateFileW(ToExtendedPath(path_).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || static_cast<uint64_t>(size.QuadPart) != expected.size())
        return false;
    std::string held(expected.size(), '\0');
    DWORD read = 0;
    return ReadFile(file.get(), held.data(), static_cast<DWORD>(held.size()), &read, nullptr) &&
           read == held.size() && held == expected;
}

bool ConfigFile::Close()
{
    if (!output_)
        return false;
    bool complete = !writeFailed_ && FlushFileBuffers(output_.get());
    output_.reset();
    if (complete && PutInPlace(ToExtendedPath(path_), ToExtendedPath(newPath_)))
        return true;
    DeleteFileW(ToExtendedPath(newPath_).c_str());
    return false;
}

void ConfigFile::Discard()
{
    if (!output_)
        return;
    output_.reset();
    DeleteFileW(ToExtendedPath(newPath_).c_str());
}

#include "import/RulesFile.h"

#include "framework/Format.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <windows.h>

#include <algorithm>

namespace {

std::string Trimmed(std::string_view text)
{
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return {};
    size_t end = text.find_last_not_of(" \t");
    return std::string(text.substr(start, end - start + 1));
}

bool IsValidUtf8(const std::string& text)
{
    return ToUtf8(ToWide(text)) == text;
}

// Older rules files were saved in the ANSI code page; everything inside is
// UTF-8.
std::string FromAnsi(const std::string& text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return ToUtf8(wide);
}

bool ReadWhole(HANDLE file, std::string& bytes, unsigned long long size)
{
    bytes.resize(static_cast<size_t>(size));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        DWORD read = 0;
        if (!ReadFile(file, bytes.data() + done, chunk, &read, nullptr) || read == 0)
            return false;
        done += read;
    }
    return true;
}

RulesFile Refused(std::string error)
{
    RulesFile file;
    file.error = std::move(error);
    return file;
}

bool IsControl(char c)
{
    return c >= 0 && c < 0x20 && c != '\t';
}

void AddLine(RulesEntry& entry, const std::string& line, int number)
{
    if (!entry.syntaxError.empty())
        return;
    size_t equals = line.find('=');
    if (equals == std::string::npos || Trimmed(line.substr(0, equals)).empty()) {
        entry.syntaxError = Format("line %d is not key=value", number);
        return;
    }
    std::string value = Trimmed(line.substr(equals + 1));
    if (std::any_of(value.begin(), value.end(), IsControl)) {
        entry.syntaxError = Format("line %d holds a control character", number);
        return;
    }
    entry.keys.push_back({Trimmed(line.substr(0, equals)), value, number});
}

} // namespace

RulesFile ReadRulesFile(const std::string& path)
{
    UniqueHandle file(CreateFileW(ToExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return Refused("cannot open " + path);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        return Refused("cannot read " + path);
    if (static_cast<unsigned long long>(size.QuadPart) > kMaxRulesFileBytes)
        return Refused(Format("%s is larger than %llu MiB; a rules file is far smaller", path.c_str(),
                              kMaxRulesFileBytes >> 20));
    std::string bytes;
    if (!ReadWhole(file.get(), bytes, static_cast<unsigned long long>(size.QuadPart)))
        return Refused("cannot read " + path);
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return Refused(path + " is UTF-16 text; save it as UTF-8 and import it again");
    if (bytes.find('\0') != std::string::npos)
        return Refused(path + " holds binary data, not the text of a rules file");
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.erase(0, 3);
    return ParseRules(IsValidUtf8(bytes) ? std::move(bytes) : FromAnsi(bytes));
}

RulesFile ParseRules(std::string text)
{
    RulesFile file;
    RulesEntry* entry = nullptr;
    int number = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = std::min(text.find('\n', start), text.size());
        ++number;
        if (end - start > kMaxRulesLineBytes)
            return Refused(Format("line %d is longer than %zu KiB: this is not a rules file", number,
                                  kMaxRulesLineBytes >> 10));
        std::string line = Trimmed(std::string_view(text).substr(start, end - start));
        if (!line.empty() && line.back() == '\r')
            line = Trimmed(line.substr(0, line.size() - 1));
        start = end + 1;
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            RulesEntry& added = file.entries.emplace_back();
            added.line = number;
            added.section = Trimmed(line.substr(1, line.size() - 1 - (line.back() == ']')));
            added.name = RulesEntryName(added.section);
            if (line.back() != ']' || added.name.empty())
                added.syntaxError = Format("line %d is not a [section] name", number);
            // No plug-in file can hold such a name; the summary shows "?" in its place.
            if (added.syntaxError.empty() && std::any_of(added.name.begin(), added.name.end(), IsControl))
                added.syntaxError = Format("line %d: the [section] name holds a control character", number);
            std::replace_if(added.name.begin(), added.name.end(), IsControl, '?');
            entry = &added;
        } else if (!entry) {
            return Refused(
                Format("line %d comes before the first [entry]: this is not a rules file", number));
        } else {
            AddLine(*entry, line, number);
        }
    }
    if (file.entries.empty())
        return Refused("no [entry] in the file: this is not a rules file");
    return file;
}

std::string RulesEntryName(const std::string& section)
{
    std::string name = section;
    if (name.ends_with(" *"))
        name = Trimmed(name.substr(0, name.size() - 2));
    return name;
}

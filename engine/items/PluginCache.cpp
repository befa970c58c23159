#include "engine/items/PluginCache.h"

#include "framework/Owners.h"
#include "framework/Utf8.h"

#include <windows.h>

#include <algorithm>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Raised whenever what a plug-in file gives an item, or how it is written here, changes.
const char kFormat[] = "vestrel-plugin-cache 4";
constexpr size_t kChecksumDigits = 16;
constexpr uint64_t kTicksPerSecond = 10'000'000; // of a FILETIME
// A file written this recently may change again within the same write time (its change time counts in
// the same steps on some file systems, and none at all on others).
constexpr uint64_t kSettledTicks = 2 * kTicksPerSecond;
constexpr DWORD kMaxCacheBytes = 256u << 20;

// FNV-1a's steps over eight bytes at a time: a byte at a time took milliseconds over the cache of
// thousands of imported items on a 32-bit processor, at every start. Multiplying by the odd prime loses
// no difference, so one damaged word always changes the sum.
uint64_t Checksum(std::string_view bytes)
{
    uint64_t hash = 14695981039346656037ull;
    size_t at = 0;
    for (; at + sizeof(uint64_t) <= bytes.size(); at += sizeof(uint64_t)) {
        uint64_t word;
        std::memcpy(&word, bytes.data() + at, sizeof word);
        hash = (hash ^ word) * 1099511628211ull;
    }
    for (; at < bytes.size(); ++at)
        hash = (hash ^ static_cast<unsigned char>(bytes[at])) * 1099511628211ull;
    return hash;
}

std::string ChecksumText(std::string_view bytes)
{
    char text[kChecksumDigits + 1];
    std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(Checksum(bytes)));
    return text;
}

uint64_t Now()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// Fields as "length:bytes", so that any text (line breaks and all) reads back as written.
class Encoder {
public:
    Encoder& Text(std::string_view text)
    {
        bytes_ += std::to_string(text.size());
        bytes_ += ':';
        bytes_ += text;
        return *this;
    }
    Encoder& Number(uint64_t number) { return Text(std::to_string(number)); }
    Encoder& Texts(const std::vector<std::string>& texts)
    {
        Number(texts.size());
        for (const std::string& text : texts)
            Text(text);
        return *this;
    }
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// Reads what Encoder wrote; once anything does not fit, every later read fails too.
class Decoder {
public:
    explicit Decoder(std::string_view bytes) : rest_(bytes) {}

    bool Text(std::string_view& text)
    {
        size_t colon = rest_.find(':');
        uint64_t length = 0;
        if (!ok_ || colon == std::string_view::npos || colon == 0 || colon > 10 ||
            !Digits(rest_.substr(0, colon), length) || length > rest_.size() - colon - 1)
            return ok_ = false;
        text = rest_.substr(colon + 1, length);
        rest_.remove_prefix(colon + 1 + length);
        return true;
    }
    bool Text(std::string& text)
    {
        std::string_view view;
        if (!Text(view))
            return false;
        text = view;
        return true;
    }
    template <typename Value>
    bool Number(Value& number)
    {
        std::string_view text;
        uint64_t value = 0;
        if (!Text(text) || !Digits(text, value) || value != static_cast<uint64_t>(static_cast<Value>(value)))
            return ok_ = false;
        number = static_cast<Value>(value);
        return true;
    }
    bool Texts(std::vector<std::string>& texts)
    {
        size_t count = 0;
        if (!Number(count) || count > rest_.size())
            return ok_ = false;
        texts.resize(count);
        for (std::string& text : texts)
            Text(text);
        return ok_;
    }
    bool AtEnd() const { return ok_ && rest_.empty(); }
    bool Ok() const { return ok_; }

private:
    static bool Digits(std::string_view text, uint64_t& value)
    {
        if (text.empty() || text.size() > 19)
            return false;
        value = 0;
        for (char digit : text) {
            if (digit < '0' || digit > '9')
                return false;
            value = value * 10 + (digit - '0');
        }
        return true;
    }

    std::string_view rest_;
    bool ok_ = true;
};

std::string EncodeItem(const EraseItem& item)
{
    Encoder encoder;
    encoder.Text(item.descript).Text(item.type).Text(item.id).Text(item.command).Text(item.head);
    encoder.Texts(item.parameters).Number(item.timeoutSeconds);
    encoder.Number(item.parameterOptions.size());
    for (const ParameterOptions& options : item.parameterOptions)
        encoder.Number(static_cast<unsigned>(options.recurse))
            .Text(options.command)
            .Number(options.removeSelf)
            .Text(options.table);
    encoder.Number(item.running.size());
    for (const RunningProgram& program : item.running)
        encoder.Text(program.exe).Text(program.name).Text(program.folder).Text(program.background);
    encoder.Number(static_cast<unsigned>(item.olderThanHours)).Texts(item.keep).Texts(item.detect);
    encoder.Text(item.warning).Number(item.isDefault).Text(item.group);
    return encoder.Bytes();
}

bool DecodeItem(std::string_view bytes, EraseItem& item)
{
    Decoder decoder(bytes);
    decoder.Text(item.descript) && decoder.Text(item.type) && decoder.Text(item.id) &&
        decoder.Text(item.command) && decoder.Text(item.head) && decoder.Texts(item.parameters) &&
        decoder.Number(item.timeoutSeconds);
    size_t count = 0;
    decoder.Number(count);
    item.parameterOptions.resize(decoder.Ok() && count <= bytes.size() ? count : 0);
    for (ParameterOptions& options : item.parameterOptions) {
        unsigned recurse = 0;
        decoder.Number(recurse) && decoder.Text(options.command) && decoder.Number(options.removeSelf) &&
            decoder.Text(options.table);
        options.recurse = static_cast<Recurse>(recurse);
        if (recurse > static_cast<unsigned>(Recurse::All))
            return false;
    }
    decoder.Number(count);
    item.running.resize(decoder.Ok() && count <= bytes.size() ? count : 0);
    for (RunningProgram& program : item.running)
        decoder.Text(program.exe) && decoder.Text(program.name) && decoder.Text(program.folder) &&
            decoder.Text(program.background);
    unsigned olderThanHours = 0;
    decoder.Number(olderThanHours) && decoder.Texts(item.keep) && decoder.Texts(item.detect) &&
        decoder.Text(item.warning) && decoder.Number(item.isDefault) && decoder.Text(item.group);
    item.olderThanHours = static_cast<int>(olderThanHours);
    return decoder.AtEnd() && item.olderThanHours >= 0;
}

std::string ReadWholeFile(const std::string& path)
{
    UniqueHandle file(CreateFileW(ToExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxCacheBytes)
        return {};
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size())
        return {};
    return bytes;
}

// Written beside the cache, then put in its place, so that a reader never sees half a cache.
bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::wstring target = ToExtendedPath(path);
    std::wstring partial = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".new";
    {
        UniqueHandle file(CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file)
            return false;
        if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size()) {
            file.reset();
            DeleteFileW(partial.c_str());
            return false;
        }
    }
    if (MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileW(partial.c_str());
    return false;
}

} // namespace

PluginCache::PluginCache(PluginCacheFile file, const std::string& pluginFolder, double windowsVersion)
    : file_(std::move(file)), pluginFolder_(pluginFolder)
{
    char version[32];
    std::snprintf(version, sizeof(version), "%g", windowsVersion);
    windowsVersion_ = version;
    if (file_.path.empty())
        return;
    std::string bytes = ReadWholeFile(file_.path);
    if (!bytes.empty() && !Decode(bytes))
        entries_.clear();
    entriesRead_ = entries_.size();
}

std::string PluginCache::Header() const
{
    return Encoder().Text(kFormat).Text(file_.programStamp).Text(pluginFolder_).Text(windowsVersion_).Bytes();
}

// Takes the entries of a whole, checked cache of this program, folder and Windows version; false for anything
// else.
bool PluginCache::Decode(std::string_view text)
{
    if (text.size() < kChecksumDigits)
        return false;
    std::string_view body = text.substr(0, text.size() - kChecksumDigits);
    std::string header = Header();
    if (text.substr(body.size()) != ChecksumText(body) || !body.starts_with(header))
        return false;
    Decoder decoder(body.substr(header.size()));
    while (decoder.Ok() && !decoder.AtEnd()) {
        std::string name;
        Entry entry;
        decoder.Text(name) && decoder.Number(entry.stamp.size) && decoder.Number(entry.stamp.writeTime) &&
            decoder.Number(entry.stamp.changeTime) && decoder.Text(entry.item);
        entries_[name] = std::move(entry);
    }
    return decoder.AtEnd();
}

bool PluginCache::Find(const std::string& name, PluginStamp stamp, EraseItem& item)
{
    auto found = entries_.find(name);
    if (found == entries_.end() || found->second.stamp != stamp)
        return false;
    EraseItem cached;
    if (!DecodeItem(found->second.item, cached))
        return false;
    cached.loaded = true;
    item = std::move(cached);
    found->second.used = true;
    return true;
}

void PluginCache::Add(const std::string& name, PluginStamp stamp, const EraseItem& item)
{
    if (file_.path.empty() || !item.loaded || stamp.writeTime + kSettledTicks > Now())
        return;
    entries_[name] = Entry{stamp, EncodeItem(item), true};
    changed_ = true;
}

void PluginCache::Save() const
{
    size_t used = 0;
    for (const auto& [name, entry] : entries_)
        used += entry.used;
    if (file_.path.empty() || (!changed_ && used == entriesRead_))
        return;
    Encoder encoder;
    for (const auto& [name, entry] : entries_) {
        if (entry.used)
            encoder.Text(name)
                .Number(entry.stamp.size)
                .Number(entry.stamp.writeTime)
                .Number(entry.stamp.changeTime)
                .Text(entry.item);
    }
    std::string bytes = Header() + encoder.Bytes();
    WriteWholeFile(file_.path, bytes + ChecksumText(bytes));
}

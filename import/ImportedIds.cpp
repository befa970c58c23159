#include "import/ImportedIds.h"

#include "framework/Format.h"
#include "framework/LowerCase.h"
#include "framework/Owners.h"
#include "framework/Utf8.h"
#include "import/RulesFile.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

const size_t kMaxSlugLength = 60;
const char kEntryOpen[] = ", entry [";
const char kEntryClose[] = "].";

// Lower-case letters and digits, each other run of characters one "-".
std::string Slug(const std::string& name)
{
    std::string slug;
    for (char c : LowerCase(name)) {
        bool kept = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (kept)
            slug += c;
        else if (!slug.empty() && slug.back() != '-')
            slug += '-';
    }
    slug = slug.substr(0, kMaxSlugLength);
    while (!slug.empty() && slug.back() == '-')
        slug.pop_back();
    return slug.empty() ? "entry" : slug;
}

// FNV-1a: the same name gives the same number on every machine and in every version.
uint32_t NameHash(const std::string& name)
{
    uint32_t hash = 2166136261u;
    for (unsigned char c : name)
        hash = (hash ^ c) * 16777619u;
    return hash;
}

// A name that its plain id spells out: lower-cased words of letters and digits between single blanks. Two
// such names never share a plain id, so one keeps it whatever other names come.
bool SpelledByPlainId(const std::string& name)
{
    std::string spelled = LowerCase(name);
    std::replace(spelled.begin(), spelled.end(), ' ', '-');
    return spelled == Slug(name);
}

std::string PlainId(const std::string& name)
{
    return kImportedPrefix + Slug(name);
}

std::string HashedId(const std::string& name)
{
    return PlainId(name) + Format("-%08x", NameHash(name));
}

std::string ReadHead(const std::wstring& path)
{
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (file && text.find("</head>") == std::string::npos && text.size() < 64 * 1024 &&
           ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    size_t open = text.find("<head>");
    size_t close = text.find("</head>");
    if (open == std::string::npos || close == std::string::npos || close < open)
        return {};
    return text.substr(open + 6, close - open - 6);
}

// The text of an element written with EscapedXmlText.
std::string Unescaped(const std::string& text)
{
    static const std::pair<const char*, char> kEntities[] = {
        {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&amp;", '&'}};
    std::string plain;
    for (size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [entity, c] : kEntities) {
            if (text.compare(i, strlen(entity), entity) == 0) {
                plain += c;
                i += strlen(entity);
                replaced = true;
                break;
            }
        }
        if (!replaced)
            plain += text[i++];
    }
    return plain;
}

// The entry name a head written by ImportedHead names: up to the first "]." that ends the head or a
// sentence.
std::string OwnerOf(const std::string& head)
{
    size_t open = head.find(kEntryOpen);
    if (!head.starts_with("Imported from ") || open == std::string::npos)
        return {};
    size_t start = open + strlen(kEntryOpen);
    for (size_t close = head.find(kEntryClose, start); close != std::string::npos;
         close = head.find(kEntryClose, close + 1)) {
        size_t after = close + strlen(kEntryClose);
        if (after == head.size() || head[after] == ' ')
            return LowerCase(RulesEntryName(head.substr(start, close - start)));
    }
    return {};
}

} // namespace

std::map<std::string, std::string> ImportedOwners(const std::string& pluginFolder)
{
    std::map<std::string, std::string> owners;
    std::wstring folder = ToExtendedPath(pluginFolder);
    WIN32_FIND_DATAW found;
    FindHandle find(
        FindFirstFileW((folder + ToWide(std::string(kImportedPrefix) + "*.aep")).c_str(), &found));
    if (!find)
        return owners;
    do {
        std::string name = LowerCase(ToUtf8(found.cFileName));
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.ends_with(".aep"))
            owners[name.substr(0, name.size() - 4)] = OwnerOf(Unescaped(ReadHead(folder + found.cFileName)));
    } while (FindNextFileW(find.get(), &found));
    return owners;
}

std::map<std::string, std::string> AssignImportedIds(const std::vector<std::string>& names,
                                                     const std::map<std::string, std::string>& owners)
{
    std::map<std::string, std::string> ids;
    std::map<std::string, std::string> owned; // lower-cased name -> its earlier id
    for (const auto& [id, owner] : owners)
        if (!owner.empty())
            owned.emplace(owner, id);
    std::map<std::string, int> plainUses; // among the new names
    for (const std::string& name : names)
        if (!owned.contains(LowerCase(name)))
            ++plainUses[PlainId(name)];
    auto free = [&owners](const std::string& id) { return !owners.contains(id); };
    for (const std::string& name : names) {
        std::string key = LowerCase(name);
        if (auto earlier = owned.find(key); earlier != owned.end()) {
            ids[name] = earlier->second;
            continue;
        }
        std::string plain = PlainId(name);
        std::string hashed = HashedId(key);
        if (free(plain) && (plainUses[plain] == 1 || SpelledByPlainId(name)))
            ids[name] = plain;
        else
            ids[name] = free(hashed) ? hashed : std::string();
    }
    return ids;
}

std::string ImportedHead(const std::string& fileName, const std::string& section)
{
    return "Imported from " + fileName + kEntryOpen + section + kEntryClose;
}

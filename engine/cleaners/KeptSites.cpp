#include "engine/cleaners/KeptSites.h"

#include "framework/Utf8.h"

#include <windows.h>

#include <algorithm>

namespace {

bool IsLabelCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

// Each dot-separated label 1 to 63 letters, digits or hyphens, not starting or ending with a hyphen.
bool IsHostName(std::string_view host)
{
    if (host.empty() || host.size() > 253)
        return false;
    size_t start = 0;
    while (start <= host.size()) {
        size_t end = std::min(host.find('.', start), host.size());
        std::string_view label = host.substr(start, end - start);
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-' ||
            !std::all_of(label.begin(), label.end(), IsLabelCharacter))
            return false;
        start = end + 1;
    }
    return true;
}

std::string_view Trimmed(std::string_view text)
{
    const char* const blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool IsSiteScheme(std::string_view scheme)
{
    return scheme == "http" || scheme == "https";
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// An internationalised name ("bücher.de") in the ASCII form its cookies are stored under
// ("xn--bcher-kva.de"); text the system cannot convert stays as it is and fails the host name test.
std::string AsciiHost(const std::string& host)
{
    if (std::all_of(host.begin(), host.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return host;
    std::wstring wide = ToWide(host);
    int length = IdnToAscii(0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0);
    if (length <= 0)
        return host;
    std::wstring ascii(static_cast<size_t>(length), L'\0');
    if (IdnToAscii(0, wide.c_str(), static_cast<int>(wide.size()), ascii.data(), length) != length)
        return host;
    return ToUtf8(ascii);
}

} // namespace

std::optional<std::string> NormalisedSiteHost(std::string_view input)
{
    std::string host(Trimmed(input));
    std::transform(host.begin(), host.end(), host.begin(), AsciiLower);
    if (size_t scheme = host.find("://"); scheme != std::string::npos)
        host.erase(0, scheme + 3);
    host.erase(std::min(host.find_first_of("/?#"), host.size()));
    if (size_t user = host.rfind('@'); user != std::string::npos)
        host.erase(0, user + 1);
    host.erase(std::min(host.find(':'), host.size()));
    if (host.starts_with("*."))
        host.erase(0, 2);
    host.erase(0,
               host.find_first_not_of('.') == std::string::npos ? host.size() : host.find_first_not_of('.'));
    while (host.ends_with('.'))
        host.pop_back();
    host = AsciiHost(host);
    std::transform(host.begin(), host.end(), host.begin(), AsciiLower);
    if (!IsHostName(host))
        return std::nullopt;
    return host;
}

KeptSites::KeptSites(const std::vector<std::string>& hosts)
{
    for (const std::string& host : hosts) {
        if (NormalisedSiteHost(host) == host && lookup_.insert(host).second)
            hosts_.push_back(host);
    }
}

KeptSites KeptSites::EverySite()
{
    KeptSites sites;
    sites.everySite_ = true;
    return sites;
}

// The host and each name it lies under, from the longest: "a.example.com", "example.com", "com".
const std::string* KeptSites::SiteOf(std::string_view host) const
{
    static const std::string kAnySite = "any site";
    while (host.starts_with('.'))
        host.remove_prefix(1);
    if (host.empty())
        return nullptr;
    if (everySite_)
        return &kAnySite;
    std::string name(host);
    std::transform(name.begin(), name.end(), name.begin(), AsciiLower);
    for (size_t start = 0; start < name.size();) {
        auto found = lookup_.find(start == 0 ? name : name.substr(start));
        if (found != lookup_.end())
            return &*found;
        size_t dot = name.find('.', start);
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    return nullptr;
}

std::string HostOfOriginFolder(std::string_view name)
{
    // Firefox: scheme "+++" host, then "+" port or "^" attributes.
    if (size_t mark = name.find("+++"); mark != std::string_view::npos) {
        if (!IsSiteScheme(name.substr(0, mark)))
            return {};
        std::string_view rest = name.substr(mark + 3);
        return std::string(rest.substr(0, rest.find_first_of("+^")));
    }
    // Chromium: scheme "_" host "_" port, then a store's own suffix (".indexeddb.leveldb").
    size_t first = name.find('_');
    if (first == std::string_view::npos || !IsSiteScheme(name.substr(0, first)))
        return {};
    std::string_view rest = name.substr(first + 1);
    size_t last = rest.rfind('_');
    if (last == std::string_view::npos || last + 1 >= rest.size() || rest[last + 1] < '0' ||
        rest[last + 1] > '9')
        return {};
    return std::string(rest.substr(0, last));
}

#include "engine/cleaners/KeptSites.h"

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

} // namespace

std::optional<std::string> NormalisedSiteHost(std::string_view input)
{
    std::string host(Trimmed(input));
    std::transform(host.begin(), host.end(), host.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
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
    if (!IsHostName(host))
        return std::nullopt;
    return host;
}

KeptSites::KeptSites(const std::vector<std::string>& hosts)
{
    for (const std::string& host : hosts) {
        if (NormalisedSiteHost(host) == host && std::find(hosts_.begin(), hosts_.end(), host) == hosts_.end())
            hosts_.push_back(host);
    }
}

const std::string* KeptSites::SiteOf(std::string_view host) const
{
    while (host.starts_with('.'))
        host.remove_prefix(1);
    for (const std::string& site : hosts_) {
        if (host.size() < site.size())
            continue;
        std::string_view end = host.substr(host.size() - site.size());
        bool sameLetters = std::equal(end.begin(), end.end(), site.begin(), site.end(), [](char a, char b) {
            return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
        });
        if (sameLetters && (host.size() == site.size() || host[host.size() - site.size() - 1] == '.'))
            return &site;
    }
    return nullptr;
}

// The hosts are normalised: letters, digits, dots and hyphens only, so they stand in SQL literals as they are.
std::string KeptSites::SqlKeeps(const std::string& column) const
{
    std::string host = "ltrim(lower(" + column + "), '.')";
    std::string condition;
    for (const std::string& site : hosts_) {
        condition += condition.empty() ? "(" : " OR ";
        condition += host + " = '" + site + "' OR substr(" + host + ", -" + std::to_string(site.size() + 1) +
                     ") = '." + site + "'";
    }
    return condition.empty() ? "0" : condition + ")";
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

#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// A host name as the user may type it ("https://www.Example.com:443/path", ".example.com", "bücher.de")
// reduced to what is stored and matched ("www.example.com", "xn--bcher-kva.de"): lower case, in its ASCII
// form, without scheme, user, port, path and leading or trailing dots. Nothing for text that is no host
// name (empty, spaces, an empty label, a character no host name can hold).
std::optional<std::string> NormalisedSiteHost(std::string_view input);

// The sites whose cookies and stores an erase keeps. Each keeps its subdomains: "example.com" keeps
// "www.example.com" and ".example.com", not "badexample.com". Looking up a host costs one probe per
// label, however many sites are kept.
class KeptSites {
public:
    KeptSites() = default;
    // Hosts that are not normalised are left out.
    explicit KeptSites(const std::vector<std::string>& hosts);

    // Every host counts as kept: a walk under it keeps whatever any list of sites could keep, which tells
    // whether it reaches sites' data at all.
    static KeptSites EverySite();

    bool Empty() const { return hosts_.empty() && !everySite_; }
    const std::vector<std::string>& Hosts() const { return hosts_; }
    // The kept site that host belongs to (in any case, leading dots ignored), or null.
    const std::string* SiteOf(std::string_view host) const;

private:
    std::vector<std::string> hosts_;
    std::unordered_set<std::string> lookup_;
    bool everySite_ = false;
};

// The host that a folder of one origin's store is named after, or empty for any other name: Chromium's
// "https_www.example.com_0.indexeddb.leveldb" and "http_example.com_8080", Firefox's
// "https+++www.example.com^userContextId=1" and "http+++example.com+8080". Stores of extensions and files
// belong to no site.
std::string HostOfOriginFolder(std::string_view name);

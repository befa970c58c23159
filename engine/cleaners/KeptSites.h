#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A host name as the user may type it ("https://www.Example.com:443/path", ".example.com") reduced to what
// is stored and matched ("www.example.com"): lower case, without scheme, user, port, path and leading or
// trailing dots. Nothing for text that is no host name (empty, spaces, an empty label, letters outside
// a-z, 0-9 and "-"; a non-ASCII name is given in its xn-- form).
std::optional<std::string> NormalisedSiteHost(std::string_view input);

// The sites whose cookies and stores an erase keeps. Each keeps its subdomains: "example.com" keeps
// "www.example.com" and ".example.com", not "badexample.com".
class KeptSites {
public:
    KeptSites() = default;
    // Hosts that are not normalised are left out.
    explicit KeptSites(const std::vector<std::string>& hosts);

    bool Empty() const { return hosts_.empty(); }
    const std::vector<std::string>& Hosts() const { return hosts_; }
    // The kept site that host belongs to, or null.
    const std::string* SiteOf(std::string_view host) const;
    // An SQL condition that holds where column names a host of a kept site.
    std::string SqlKeeps(const std::string& column) const;

private:
    std::vector<std::string> hosts_;
};

// The host that a folder of one origin's store is named after, or empty for any other name: Chromium's
// "https_www.example.com_0.indexeddb.leveldb" and "http_example.com_8080", Firefox's
// "https+++www.example.com^userContextId=1" and "http+++example.com+8080". Stores of extensions and files
// belong to no site.
std::string HostOfOriginFolder(std::string_view name);

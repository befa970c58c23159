#pragma once
#include "engine/cleaners/KeptSites.h"
#include "engine/EraseMode.h"

#include <cstdint>
#include <string>
#include <vector>

struct EraseItem;

// Removes from one browser cookie database the cookies of every site not kept, in one transaction, and
// checks the database afterwards; the file stays, its freed pages overwritten. A Chromium-family database
// (table cookies by host_key) and a Firefox-family one (moz_cookies by host) are told apart by their tables.
// Each cookie that went (in a preview, that would go) adds 1 to cookies, and the listener hears the sum.
// A database the browser holds locked, one of neither kind or one that fails its check is a failure; one
// reached through a link, or with other names, is refused; a missing file is no error. A preview opens
// the file read-only.
void ClearCookiesExcept(const std::string& path, const KeptSites& sites, uint64_t& cookies,
                        const EraseOptions& options = {});

// The hosts that the cookie databases named by the items' delete-cookies parameters hold cookies for,
// without a leading dot, sorted, each once: what the user may choose to keep. Each database is opened
// read-only; one that cannot be read adds nothing.
std::vector<std::string> SitesWithCookies(const std::vector<EraseItem>& items);

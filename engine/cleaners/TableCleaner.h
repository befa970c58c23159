#pragma once
#include "engine/EraseMode.h"

#include <string>

// Empties one table of a database (a Chromium-family profile's typed form entries in Web Data's autofill
// table, say) in one transaction, and leaves nothing of the rows behind: not in the file's free space, not
// in its log or journal (see ScrubbedEdit). The file, its schema and every other table stay. A database
// without that table is left alone without a word, as a missing file is: other versions of a browser name
// their tables otherwise. A database the browser holds locked, one that fails its check afterwards, or one
// whose leftovers could not be overwritten, is a failure; one reached through a link, or with other names,
// is refused. Nothing counts into the tally: the listener hears how many rows went (in a preview, which
// opens the file read-only, would go).
void EmptyDatabaseTable(const std::string& path, const std::string& table, const EraseOptions& options = {});

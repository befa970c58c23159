#pragma once
#include <optional>
#include <string>

// Whether the drive that holds path is a solid-state drive (one without a seek penalty), as the storage
// driver reports it to any user; nothing when it does not say (a network drive, an older driver). There an
// overwrite in place is best effort: the drive writes the zeros wherever its wear levelling likes and
// keeps the old cells until it reuses them.
std::optional<bool> IsSolidStateDrive(const std::string& path);

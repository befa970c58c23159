#pragma once
#include <optional>
#include <string>

// Replaces a path's leading token ("%appdata%", "%localappdata%" ... in any case) by its folder. The path
// unchanged when it starts with no token, or with %appdata% or %userhome% that the shell cannot resolve;
// nothing when it starts with one of the other tokens and that cannot be resolved, so that the path is
// never taken literally.
std::optional<std::string> ExpandPathTokens(const std::string& path);

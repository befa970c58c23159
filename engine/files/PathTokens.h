#pragma once
#include <memory>
#include <optional>
#include <string>

// Replaces a path's leading token ("%appdata%", "%localappdata%" ... in any case) by its folder. The path
// unchanged when it starts with no token, or with %appdata% or %userhome% that the shell cannot resolve;
// nothing when it starts with one of the other tokens and that cannot be resolved, so that the path is
// never taken literally.
std::optional<std::string> ExpandPathTokens(const std::string& path);

// While one lives on its thread, each token's folder is asked of the system once: listing thousands of
// items asks for the same few folders again and again. Nested ones share the outermost one's answers.
class PathTokenMemo {
public:
    PathTokenMemo();
    ~PathTokenMemo();
    PathTokenMemo(const PathTokenMemo&) = delete;
    PathTokenMemo& operator=(const PathTokenMemo&) = delete;

private:
    std::unique_ptr<struct PathTokenFolders> own_; // the outermost one's; null in nested ones
};

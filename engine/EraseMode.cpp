#include "engine/EraseMode.h"

#include "engine/RegistryEraser.h"

EraseListener& EraseOptions::Listener() const
{
    static SilentListener silent;
    return listener ? *listener : silent;
}

std::string RefusedText(const std::string& path)
{
    if (RegistryEraser::RootKeyFromName(std::string_view(path).substr(0, path.find('\\'))))
        return path + " (a protected registry key)";
    if (path.find('"') != std::string::npos)
        return path + " (a program name holding a quote)";
    return path + " (a drive root or protected folder)";
}

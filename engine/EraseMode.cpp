#include "engine/EraseMode.h"

#include "engine/RegistryEraser.h"

EraseListener& EraseOptions::Listener() const
{
    static SilentListener silent;
    return listener ? *listener : silent;
}

std::string RefusedText(const std::string& path)
{
    bool key = RegistryEraser::RootKeyFromName(std::string_view(path).substr(0, path.find('\\')));
    return path + (key ? " (a protected registry key)" : " (a drive root or protected folder)");
}

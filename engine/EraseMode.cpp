#include "engine/EraseMode.h"

#include "engine/EraseContext.h"
#include "engine/RegistryEraser.h"

EraseListener& EraseOptions::Listener() const
{
    static SilentListener silent;
    return listener ? *listener : silent;
}

bool EraseOptions::StopRequested() const
{
    return context && context->StopRequested();
}

const char* RefusedKind(const std::string& path)
{
    if (RegistryEraser::RootKeyFromName(std::string_view(path).substr(0, path.find('\\'))))
        return "a protected registry key";
    if (path.find('"') != std::string::npos)
        return "a program name holding a quote";
    return "a drive root or protected folder";
}

std::string RefusedText(const std::string& path)
{
    return path + " (" + RefusedKind(path) + ")";
}

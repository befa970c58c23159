#include "engine/RefusedTarget.h"

#include "engine/registry/RegistryPath.h"

const char* RefusedKind(const std::string& path)
{
    if (RootKeyFromName(std::string_view(path).substr(0, path.find('\\'))))
        return "a protected registry key";
    if (path.find('"') != std::string::npos)
        return "a program name holding a quote";
    return "a drive root or protected folder";
}

std::string RefusedText(const std::string& path)
{
    return path + " (" + RefusedKind(path) + ")";
}

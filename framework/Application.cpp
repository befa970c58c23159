#include "framework/Application.h"

#include "framework/Utf8.h"

std::string ModuleFileName(HINSTANCE instance)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(instance, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        // A path that fills the buffer may have been cut short.
        if (length < path.size()) {
            path.resize(length);
            return ToUtf8(path);
        }
        path.resize(path.size() * 2);
    }
}

namespace {

std::string BaseNameWithoutExtension(const std::string& path)
{
    std::string name = path.substr(path.find_last_of("\\/") + 1);
    return name.substr(0, name.find_last_of('.'));
}

} // namespace

Application* Application::current_ = nullptr;

Application::Application()
    : instance_(GetModuleHandleW(nullptr)),
      executablePath_(ModuleFileName(instance_)),
      name_(BaseNameWithoutExtension(executablePath_))
{
    current_ = this;
}

Application::~Application()
{
    if (current_ == this)
        current_ = nullptr;
}

Application& Application::Current()
{
    return *current_;
}

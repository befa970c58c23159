#pragma once

#include <windows.h>

#include <string>

// The full path of a loaded module (the executable for null), UTF-8; empty when it cannot be had.
std::string ModuleFileName(HINSTANCE module = nullptr);

// The program's one application object, usually a static instance of a derived class. The entry point hands
// over to it:
//
//     int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return Application::Current().Run(); }
class Application {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    virtual ~Application();

    // The application object that exists now; there must be one.
    static Application& Current();

    HINSTANCE Instance() const { return instance_; }
    // The executable's full path, UTF-8.
    const std::string& ExecutablePath() const { return executablePath_; }
    // The executable's file name without folder and extension.
    const std::string& Name() const { return name_; }

    // The program itself; its result is the process's exit code.
    virtual int Run() = 0;

private:
    static Application* current_;

    HINSTANCE instance_;
    std::string executablePath_;
    std::string name_;
};

#include "app/CMainApp.h"

#include <windows.h>

namespace {

CMainApp theApp;

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return Application::Current().Run();
}

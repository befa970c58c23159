#pragma once
#include "framework/Application.h"

// Runs the main window modally; the program ends when it ends. No command line, no instance guard.
class CMainApp : public Application {
public:
    int Run() override;
};

#pragma once
// The program from start to end, the same on every platform: the engine before the window,
// the application titled "Tapewright", the main window with its creation handler, the hide
// switch, the message loop, and the release of the engine before the windows.
#include <string>
#include <vector>

#include "settings/IniQuill.h"

// arguments[0] is the program's path. Returns the process exit code.
int RunProgram(std::vector<std::string> arguments, TIniQuillSystem settingsSystem = {});

// Errors raised inside the engine's hook callbacks go to the application object of the
// moment, which shows them from its message loop; without one they go to standard error.
void RouteHookErrorsToApplication();

#pragma once
// Help on Windows: the system's help engine for .HLP files no longer exists, so the help
// page ships beside the program as an HTML file named after the help file with the
// extension .HTM (TAPEWRT.HLP -> TAPEWRT.HTM), and the user's default browser shows it.
#include <string>

#include "platform/win32/WindowsApi.h"
#include "toolkit/Strings.h"

// The page that stands for helpFile: beside executable when helpFile names no directory.
// Both are split by rules, the system's own code page's where the program runs.
std::string HelpPagePath(const std::string& helpFile, const std::string& executable,
                         const PathRules& rules);
// Opens the page for helpFile; false, with nothing shown, when it is missing or no program
// opens it.
bool OpenHelpPage(const std::string& helpFile, HWND owner);

#pragma once
// The settings file of an installed program: beside the executable where the user may write
// there (a copy run from its own folder), else in the user's configuration directory
// ($XDG_CONFIG_HOME, or ~/.config), in a folder of the program's own.
#include <string>

// xdgConfigHome and home may be null or empty when the variables are not set.
std::string SettingsDirectoryFor(const std::string& executableDirectory, bool writable,
                                 const char* xdgConfigHome, const char* home);

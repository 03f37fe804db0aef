#pragma once
// The settings file's folder: beside the executable for a copy run from a folder the user may
// write, else in the user's configuration directory ($XDG_CONFIG_HOME, or ~/.config), in a
// folder of the program's own. An installed program (one in the system's program folders)
// always keeps them there, also when root, who may write anywhere, runs it.
#include <string>

// Whether executableDirectory (with its final separator) is one of the system's program
// folders or the one the build installs to.
bool IsInstalledDirectory(const std::string& executableDirectory);

// xdgConfigHome and home may be null or empty when the variables are not set.
std::string SettingsDirectoryFor(const std::string& executableDirectory, bool besideAllowed,
                                 const char* xdgConfigHome, const char* home);

#pragma once
// KWin's scripting on the session bus (org.kde.KWin, /Scripting): a script file loaded under
// a name of its own and run, later unloaded by that name.
#include <systemd/sd-bus.h>

#include <string>

enum class KwinScriptLoad { Running, Absent, Failed };  // Absent: no KWin scripting on the bus

// Loads file as name (unloading a script of that name left from before) and runs it; error
// says why it did not.
KwinScriptLoad LoadKwinScript(sd_bus* bus, const std::string& file, const std::string& name,
                              std::string& error);
// True when KWin had a script of that name and unloaded it.
bool UnloadKwinScript(sd_bus* bus, const std::string& name);

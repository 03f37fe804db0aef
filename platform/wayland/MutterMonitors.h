#pragma once
// Mutter's logical monitors, read from org.gnome.Mutter.DisplayConfig.GetCurrentState: each
// one's connector, place, size in the layout, and the scale of a stream of it.
#include <systemd/sd-bus.h>

#include <string>
#include <vector>

#include "platform/wayland/MutterValues.h"

// False, with why in error, when Mutter does not answer or describes no monitor.
bool ReadMutterMonitors(sd_bus* bus, std::vector<MutterMonitor>& monitors, std::string& error);

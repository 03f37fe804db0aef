#include "platform/wayland/MutterMonitors.h"

#include <cstring>
#include <map>
#include <utility>

#include "platform/wayland/SessionBus.h"

namespace {

using Size = std::pair<int32_t, int32_t>;

struct LogicalMonitor {
    MutterMonitor monitor;
    bool quarterTurn = false;  // rotated: the mode's width is the layout's height
};

// Each monitor's current mode, by connector: a((ssss)a(siiddada{sv})a{sv}).
int ReadModes(sd_bus_message* reply, std::map<std::string, Size>& modes) {
    int r = sd_bus_message_enter_container(reply, 'a', "((ssss)a(siiddada{sv})a{sv})");
    while (r >= 0 &&
           (r = sd_bus_message_enter_container(reply, 'r', "(ssss)a(siiddada{sv})a{sv}")) > 0) {
        const char* connector = nullptr;
        const char* unused[3];
        r = sd_bus_message_read(reply, "(ssss)", &connector, &unused[0], &unused[1], &unused[2]);
        if (r >= 0) r = sd_bus_message_enter_container(reply, 'a', "(siiddada{sv})");
        while (r >= 0 && (r = sd_bus_message_enter_container(reply, 'r', "siiddada{sv}")) > 0) {
            const char* id = nullptr;
            Size size;
            double rate = 0;
            double preferredScale = 0;
            r = sd_bus_message_read(reply, "siidd", &id, &size.first, &size.second, &rate,
                                    &preferredScale);
            if (r >= 0) r = sd_bus_message_skip(reply, "ad");
            // The mode's properties: is-current says which one the monitor shows.
            if (r >= 0) r = sd_bus_message_enter_container(reply, 'a', "{sv}");
            while (r >= 0 && (r = sd_bus_message_enter_container(reply, 'e', "sv")) > 0) {
                const char* key = nullptr;
                int current = 0;
                r = sd_bus_message_read(reply, "s", &key);
                if (r >= 0 && std::strcmp(key, "is-current") == 0) {
                    r = sd_bus_message_read(reply, "v", "b", &current);
                    if (r >= 0 && current) modes[connector] = size;
                } else if (r >= 0) {
                    r = sd_bus_message_skip(reply, "v");
                }
                if (r >= 0) r = sd_bus_message_exit_container(reply);
            }
            if (r >= 0) r = sd_bus_message_exit_container(reply);  // the properties
            if (r >= 0) r = sd_bus_message_exit_container(reply);  // the mode
        }
        if (r >= 0) r = sd_bus_message_exit_container(reply);  // the modes
        if (r >= 0) r = sd_bus_message_skip(reply, "a{sv}");
        if (r >= 0) r = sd_bus_message_exit_container(reply);  // the monitor
    }
    return r < 0 ? r : sd_bus_message_exit_container(reply);
}

// a(iiduba(ssss)a{sv}): place, scale, rotation and the first monitor of each.
int ReadLogicalMonitors(sd_bus_message* reply, std::vector<LogicalMonitor>& logicals) {
    int r = sd_bus_message_enter_container(reply, 'a', "(iiduba(ssss)a{sv})");
    while (r >= 0 && (r = sd_bus_message_enter_container(reply, 'r', "iiduba(ssss)a{sv}")) > 0) {
        LogicalMonitor logical;
        MutterMonitor& monitor = logical.monitor;
        uint32_t transform = 0;
        int primary = 0;
        r = sd_bus_message_read(reply, "iidub", &monitor.x, &monitor.y, &monitor.scale, &transform,
                                &primary);
        logical.quarterTurn = transform % 2 == 1;  // 90 or 270 degrees, flipped or not
        if (r >= 0) r = sd_bus_message_enter_container(reply, 'a', "(ssss)");
        const char* connector = nullptr;
        const char* unused[3];
        while (r >= 0 && (r = sd_bus_message_read(reply, "(ssss)", &connector, &unused[0],
                                                  &unused[1], &unused[2])) > 0) {
            if (monitor.connector.empty()) monitor.connector = connector;
        }
        if (r >= 0) r = sd_bus_message_exit_container(reply);
        if (r >= 0) r = sd_bus_message_skip(reply, "a{sv}");
        if (r >= 0) r = sd_bus_message_exit_container(reply);
        if (r >= 0 && !monitor.connector.empty()) logicals.push_back(logical);
    }
    return r < 0 ? r : sd_bus_message_exit_container(reply);
}

// The layout mode of the properties a{sv}: 1 logical (scaled layout), 2 physical.
int ReadLayoutMode(sd_bus_message* reply, uint32_t& mode) {
    int r = sd_bus_message_enter_container(reply, 'a', "{sv}");
    while (r >= 0 && (r = sd_bus_message_enter_container(reply, 'e', "sv")) > 0) {
        const char* key = nullptr;
        r = sd_bus_message_read(reply, "s", &key);
        if (r >= 0 && std::strcmp(key, "layout-mode") == 0) {
            r = sd_bus_message_read(reply, "v", "u", &mode);
        } else if (r >= 0) {
            r = sd_bus_message_skip(reply, "v");
        }
        if (r >= 0) r = sd_bus_message_exit_container(reply);
    }
    return r < 0 ? r : sd_bus_message_exit_container(reply);
}

// Puts each logical monitor's size in the layout and its stream's scale.
bool Measure(const std::vector<LogicalMonitor>& logicals, const std::map<std::string, Size>& modes,
             uint32_t layoutMode, std::vector<MutterMonitor>& monitors) {
    constexpr uint32_t kLogicalLayout = 1;
    for (const LogicalMonitor& logical : logicals) {
        MutterMonitor monitor = logical.monitor;
        auto mode = modes.find(monitor.connector);
        if (mode == modes.end() || monitor.scale <= 0) return false;
        Size size = mode->second;
        if (logical.quarterTurn) std::swap(size.first, size.second);
        // A logical layout places monitors in scaled pixels and streams them unscaled.
        const double scale = layoutMode == kLogicalLayout ? monitor.scale : 1.0;
        monitor.width = static_cast<int32_t>(size.first / scale);
        monitor.height = static_cast<int32_t>(size.second / scale);
        monitor.scale = scale;
        monitors.push_back(monitor);
    }
    return !monitors.empty();
}

}  // namespace

bool ReadMutterMonitors(sd_bus* bus, std::vector<MutterMonitor>& monitors, std::string& error) {
    BusError callError;
    sd_bus_message* raw = nullptr;
    int r = sd_bus_call_method(bus, "org.gnome.Mutter.DisplayConfig",
                               "/org/gnome/Mutter/DisplayConfig", "org.gnome.Mutter.DisplayConfig",
                               "GetCurrentState", callError.get(), &raw, "");
    MessageHandle reply(raw);
    if (r < 0) {
        error = "画面の構成を読めません (" + callError.Text(r) + ")";
        return false;
    }
    std::map<std::string, Size> modes;
    std::vector<LogicalMonitor> logicals;
    uint32_t serial = 0;
    uint32_t layoutMode = 0;
    monitors.clear();
    r = sd_bus_message_read(reply.get(), "u", &serial);
    if (r >= 0) r = ReadModes(reply.get(), modes);
    if (r >= 0) r = ReadLogicalMonitors(reply.get(), logicals);
    if (r >= 0) r = ReadLayoutMode(reply.get(), layoutMode);
    if (r < 0 || !Measure(logicals, modes, layoutMode, monitors)) {
        error = "画面の構成を読めません";
        return false;
    }
    return true;
}

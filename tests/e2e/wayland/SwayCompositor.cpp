#include "SwayCompositor.h"

#include <stdlib.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/wayland/InputWays.h"

namespace {

constexpr char kConfig[] =
    "output HEADLESS-1 resolution 1280x720 position 0 0\n"
    "output HEADLESS-2 resolution 1024x768 position 1280 200\n"
    "xwayland disable\n"
    "for_window [app_id=\"tapewright-probe\"] focus\n";

}  // namespace

std::vector<std::string> SwayCompositor::Command() {
    return {"sway", "-c", WriteFile("sway.config", kConfig)};
}

Environment SwayCompositor::CommandEnvironment() {
    return {{"WLR_BACKENDS", "headless"},
            {"WLR_RENDERER", "pixman"},
            {"WLR_LIBINPUT_NO_DEVICES", "1"},
            {"WLR_HEADLESS_OUTPUTS", "2"}};
}

SwayCompositor::~SwayCompositor() {
    seatDevices_.reset();
    Stop();
}

bool SwayCompositor::AddSeatDevices() {
    // The way connects to the compositor that the environment names, for this call only.
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    for (const auto& [name, value] : ClientEnvironment()) {
        const char* was = std::getenv(name.c_str());
        saved.emplace_back(name, was != nullptr ? std::optional<std::string>(was) : std::nullopt);
        setenv(name.c_str(), value.c_str(), 1);
    }
    std::string refusal;
    seatDevices_ = OpenWlrootsWay(refusal);
    for (const auto& [name, was] : saved) {
        if (was) {
            setenv(name.c_str(), was->c_str(), 1);
        } else {
            unsetenv(name.c_str());
        }
    }
    return seatDevices_ != nullptr;
}

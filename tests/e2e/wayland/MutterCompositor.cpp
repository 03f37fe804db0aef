#include "MutterCompositor.h"

namespace {

// Runs as the compositor's user in the runtime directory. Mutter reaches PipeWire only when a
// stream starts; it is waited for all the same. A signal ends all three with the script.
constexpr char kScript[] = R"(set -u
bus=$(dbus-daemon --session --fork --print-pid --address="unix:path=$PWD/bus") || exit 1
export DBUS_SESSION_BUS_ADDRESS="unix:path=$PWD/bus"
pipewire &
pipewire=$!
tries=0
while [ ! -S "$PWD/pipewire-0" ] && [ $tries -lt 200 ]; do sleep 0.05; tries=$((tries + 1)); done
mutter --headless --wayland --no-x11 --wayland-display mut-e2e \
    --virtual-monitor 1280x720 --virtual-monitor 1024x768 &
mutter=$!
trap 'kill $mutter $pipewire $bus 2>/dev/null; wait; exit 0' TERM INT
wait $mutter
kill $pipewire $bus
)";

}  // namespace

std::vector<std::string> MutterCompositor::Command() {
    return {"sh", WriteFile("mutter.sh", kScript)};
}

Environment MutterCompositor::ProgramEnvironment() const {
    Environment environment = ClientEnvironment();
    environment.emplace_back("DBUS_SESSION_BUS_ADDRESS",
                             "unix:path=" + RuntimeDirectory() + "/bus");
    return environment;
}

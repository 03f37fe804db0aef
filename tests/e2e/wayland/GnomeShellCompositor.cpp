#include "GnomeShellCompositor.h"

#include <filesystem>

namespace {

// Runs as the compositor's user in the runtime directory, which is also its home. Without a
// system bus the shell ends at start, reaching for the login service. A signal ends all
// with the script, within the test's grace; the shell may end by SIGSEGV on SIGTERM, which
// the script hides, or not end at all, which SIGKILL mends.
constexpr char kScript[] = R"(set -u
system=$(dbus-daemon --session --fork --print-pid --address="unix:path=$PWD/system") || exit 1
bus=$(dbus-daemon --session --fork --print-pid --address="unix:path=$PWD/bus") || exit 1
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$PWD/system"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$PWD/bus"
gsettings set org.gnome.shell disable-user-extensions false
gsettings set org.gnome.shell enabled-extensions "['tapewright-pointer-43@tapewright']"
pipewire &
pipewire=$!
tries=0
while [ ! -S "$PWD/pipewire-0" ] && [ $tries -lt 200 ]; do sleep 0.05; tries=$((tries + 1)); done
gnome-shell --headless --wayland --no-x11 --wayland-display wlr-gnome \
    --virtual-monitor 1280x720 &
shell=$!
running() { [ -e /proc/$1 ] && ! grep -q '^[0-9]* ([^)]*) Z' /proc/$1/stat 2>/dev/null; }
stop() {
    kill $shell 2>/dev/null
    tries=0
    while running $shell && [ $tries -lt 12 ]; do sleep 0.1; tries=$((tries + 1)); done
    kill -KILL $shell 2>/dev/null
    kill $pipewire $bus $system 2>/dev/null
    wait
}
trap 'stop; exit 0' TERM INT
wait $shell
kill $pipewire $bus $system
)";

constexpr char kExtension[] = "tapewright-pointer-43@tapewright";

}  // namespace

std::vector<std::string> GnomeShellCompositor::Command() {
    namespace fs = std::filesystem;
    const fs::path extensions =
        fs::path(RuntimeDirectory()) / ".local/share/gnome-shell/extensions";
    std::error_code error;
    fs::create_directories(extensions, error);
    fs::copy(fs::path(TAPEWRIGHT_GNOME_EXTENSIONS) / kExtension, extensions / kExtension,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
    GiveToUser(RuntimeDirectory() + "/.local");
    return {"sh", WriteFile("gnome-shell.sh", kScript)};
}

Environment GnomeShellCompositor::BusEnvironment() const {
    Environment environment = ClientEnvironment();
    environment.emplace_back("DBUS_SESSION_BUS_ADDRESS",
                             "unix:path=" + RuntimeDirectory() + "/bus");
    return environment;
}

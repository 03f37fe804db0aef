#include "KwinCompositor.h"

#include "MacroFiles.h"

namespace {

// Runs as the compositor's user in the runtime directory. The Debian binary carries file
// capabilities that a container may refuse at exec: a copy has none. A signal ends KWin and
// the bus with the script. $1: the outputs' scale.
constexpr char kScript[] = R"(set -u
export XDG_DATA_HOME="$PWD/share" XDG_CONFIG_HOME="$PWD/config" XDG_CACHE_HOME="$PWD/cache"
mkdir -p "$XDG_DATA_HOME/applications"
cp ./*.desktop "$XDG_DATA_HOME/applications/"
cp /usr/bin/kwin_wayland ./kwin_wayland
bus=$(dbus-daemon --session --fork --print-pid --address="unix:path=$PWD/bus") || exit 1
export DBUS_SESSION_BUS_ADDRESS="unix:path=$PWD/bus"
kbuildsycoca5 --noincremental
./kwin_wayland --virtual --socket kde-e2e --width 1280 --height 720 --output-count 2 \
    --scale "$1" --no-lockscreen --no-global-shortcuts --no-kactivities &
kwin=$!
trap 'kill $kwin $bus 2>/dev/null; wait; exit 0' TERM INT
wait $kwin
kill $bus
)";

// The package's entry, with the program's path where the installed one has /usr/bin's.
std::string DesktopEntry(const std::string& program) {
    std::string entry = ReadWholeFile(TAPEWRIGHT_DESKTOP_ENTRY);
    const std::string placeholder = "@TW_INSTALLED_PROGRAM@";
    if (std::size_t at = entry.find(placeholder); at != std::string::npos) {
        entry.replace(at, placeholder.size(), program);
    }
    return entry;
}

// An entry that admits a test's tool to the fake input.
std::string ToolEntry(const std::string& tool) {
    return "[Desktop Entry]\nType=Application\nName=Test tool\nNoDisplay=true\nExec=" + tool +
           "\nX-KDE-Wayland-Interfaces=org_kde_kwin_fake_input\n";
}

}  // namespace

std::vector<std::string> KwinCompositor::Command() {
    WriteFile("tapewright.desktop", DesktopEntry(program_));
    if (!tool_.empty()) WriteFile("tapewright-test-tool.desktop", ToolEntry(tool_));
    return {"sh", WriteFile("kwin.sh", kScript), std::to_string(scale_)};
}

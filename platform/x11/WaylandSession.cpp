// Under a Wayland session this program runs on XWayland, where RECORD sees only what goes
// to X windows: input to native Wayland windows never reaches the journal.
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/Journal.h"

namespace {

bool IsWaylandSession() {
    const char* type = std::getenv("XDG_SESSION_TYPE");
    const char* display = std::getenv("WAYLAND_DISPLAY");
    return (type != nullptr && std::strcmp(type, "wayland") == 0) ||
           (display != nullptr && *display != '\0');
}

}  // namespace

std::string JournalRecordingLimit() {
    if (!IsWaylandSession()) return std::string();
    return "Wayland のセッションでは、X のウィンドウ (XWayland で動くプログラム) への入力しか"
           "記録できません。\nWayland のウィンドウでの操作は記録されません。";
}

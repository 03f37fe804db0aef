// Under a Wayland session this program runs on XWayland, where RECORD sees only what goes
// to X windows: input to native Wayland windows never reaches the journal.
#include <string>

#include "platform/linux/JournalChoice.h"
#include "platform/x11/X11Journal.h"

std::string XWaylandRecordingLimit() {
    JournalEnvironment session = CurrentJournalEnvironment();
    session.forced = nullptr;
    if (ChooseJournal(session) != JournalKind::Wayland) return std::string();
    return "Wayland のセッションでは、X のウィンドウ (XWayland で動くプログラム) への入力しか"
           "記録できません。\nWayland のウィンドウでの操作は記録されません。";
}

#include "platform/linux/JournalChoice.h"

#include <strings.h>

#include <cstdlib>

namespace {

bool Is(const char* value, const char* word) {
    return value != nullptr && strcasecmp(value, word) == 0;
}

}  // namespace

JournalKind ChooseJournal(const JournalEnvironment& environment) {
    if (Is(environment.forced, "x11")) return JournalKind::X11;
    if (Is(environment.forced, "wayland")) return JournalKind::Wayland;
    const bool waylandDisplay =
        environment.waylandDisplay != nullptr && *environment.waylandDisplay != '\0';
    if (waylandDisplay || Is(environment.sessionType, "wayland")) return JournalKind::Wayland;
    return JournalKind::X11;
}

JournalEnvironment CurrentJournalEnvironment() {
    return JournalEnvironment{std::getenv("TAPEWRIGHT_JOURNAL"), std::getenv("WAYLAND_DISPLAY"),
                              std::getenv("XDG_SESSION_TYPE")};
}

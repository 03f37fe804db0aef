#pragma once
// Which journal a session gets: a Wayland session (WAYLAND_DISPLAY set, or XDG_SESSION_TYPE
// wayland) the Wayland one, any other the X11 one; TAPEWRIGHT_JOURNAL=x11 or =wayland
// forces one. Kept free of the environment so that the rule is tested on its own.
enum class JournalKind { X11, Wayland };

struct JournalEnvironment {
    const char* forced = nullptr;          // TAPEWRIGHT_JOURNAL
    const char* waylandDisplay = nullptr;  // WAYLAND_DISPLAY
    const char* sessionType = nullptr;     // XDG_SESSION_TYPE
};

JournalKind ChooseJournal(const JournalEnvironment& environment);
// The process's own environment.
JournalEnvironment CurrentJournalEnvironment();

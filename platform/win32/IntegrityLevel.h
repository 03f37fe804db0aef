#pragma once
// The integrity level of processes (Windows Vista on): the system drops input that a
// program sends into a window of a higher level (an administrator's console, an installer),
// and neither SendInput's result nor GetLastError says so. The program looks before it
// plays into a window that has just come to the front.
#include "platform/win32/WindowsApi.h"

// The mandatory level's relative identifier (0x2000 medium, 0x3000 high, 0x4000 system) of
// the process that owns window, or of this process when window is null; 0 where the system
// cannot tell (Windows XP, a process gone).
DWORD IntegrityLevelOf(HWND window);

// Whether input into a window of level theirs, sent from level ours, would be dropped.
inline bool InputWouldBeDropped(DWORD ours, DWORD theirs) {
    return ours != 0 && theirs != 0 && theirs > ours;
}

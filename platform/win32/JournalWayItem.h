#pragma once
// The last line of the main window's system menu says which way the input journal records
// and plays (the system's journal hooks, or the low-level hooks with SendInput), so that a
// user can see what TAPEWRIGHT_JOURNAL or the system chose.
#include "platform/win32/WindowsApi.h"

// Adds the line to the window's system menu, or brings its text up to date; called when the
// window is made and each time its system menu is about to open.
void ShowJournalWay(HWND window);

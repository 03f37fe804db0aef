#pragma once
// The UI thread's message loop on Windows. Retrieving messages is also where the system
// calls the input hooks, so the journal's procedures run on this thread.
#include "platform/win32/WindowsApi.h"

// Runs the timers that are due, then takes every pending message: window messages go to the
// application's message filter and then, unless it handled them, to their windows; thread
// messages, which have no window, go to the application's queue, where
// its filter sees them; WM_QUIT ends the application.
void HandlePendingMessages();
// Waits until a message arrives or a timer is due (at most longest ms), then handles them.
void WaitAndHandleMessages(DWORD longest);

#pragma once
// The X11 input journal: RECORD for the record hook, XTEST for the playback hook, the
// monotonic clock for ticks, and Ctrl+Esc as the user's journal cancel.
#include <X11/Xlib.h>

#include <functional>

// Called after a journal cancel has removed the hooks; the application posts its
// cancel message from here.
void SetJournalCancelHandler(std::function<void()> handler);

// Ends any playback at once and releases what it holds pressed, waiting until the server has
// taken the releases. lost: a display connection that has broken; the journal's own
// connection is then left alone if it is that one.
void ReleaseJournalInput(Display* lost = nullptr);

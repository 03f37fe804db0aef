#pragma once
// The X11 input journal: RECORD for the record hook, XTEST for the playback hook, the
// monotonic clock for ticks, and Ctrl+Esc as the user's journal cancel.
#include <functional>

// Called after a journal cancel has removed the hooks; the application posts its
// cancel message from here.
void SetJournalCancelHandler(std::function<void()> handler);

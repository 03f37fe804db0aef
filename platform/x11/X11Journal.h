#pragma once
// The X11 input journal: RECORD for the record hook, XTEST for the playback hook, the
// monotonic clock for ticks, and Ctrl+Esc as the user's journal cancel.
#include <memory>
#include <string>

#include "platform/linux/LinuxJournal.h"

std::unique_ptr<LinuxJournal> MakeX11Journal();

// Under a Wayland session, what this journal cannot see (empty in an X session).
std::string XWaylandRecordingLimit();

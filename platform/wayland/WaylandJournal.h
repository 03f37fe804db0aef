#pragma once
// The Wayland input journal: keys, buttons and wheel recorded from the kernel's input
// devices, the pointer's place from the desktop's own source or estimated from the devices'
// motion, playback through the compositor's own way in, and Ctrl+Esc, seen among the
// devices' events, as the user's journal cancel.
#include <memory>

#include "platform/linux/LinuxJournal.h"

std::unique_ptr<LinuxJournal> MakeWaylandJournal();

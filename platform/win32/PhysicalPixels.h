#pragma once
// The desktop and the pointer in physical pixels, whatever the system's display scaling.
// The program declares no DPI awareness, so the system scales what it tells the program of
// the screen; the low-level mouse hook, though, reports physical pixels, and SendInput's
// absolute range spans the physical desktop. These readings are made per-monitor aware
// where the system allows a thread that (Windows 10 1607 on); elsewhere from the display
// modes, which are physical on every version.
#include <optional>

#include "platform/win32/LowLevelInput.h"

// The union of every monitor, in physical pixels.
ScreenArea PhysicalDesktop();
// The pointer's position in physical pixels; nothing where the system cannot tell it (the
// secure desktop is up).
std::optional<POINT> PhysicalCursorPosition();

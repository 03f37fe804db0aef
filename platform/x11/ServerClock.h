#pragma once
// Moves the X server's event time stamps onto the local tick clock. A local Xorg or Xvfb
// stamps events with the same monotonic milliseconds as the local clock; a remote or nested
// server has a clock of its own, whose distance from ours is measured with one round trip.
#include <X11/Xlib.h>

#include <cstdint>

#include "platform/x11/ServerClockOffset.h"

class ServerClock {
  public:
    ~ServerClock();
    // Creates the small unmapped window whose property changes give the server's time.
    void Connect(Display* display);
    void Measure();
    uint32_t ToLocal(uint32_t serverTime) const {
        return serverTime - static_cast<uint32_t>(offset_);
    }

  private:
    Display* display_ = nullptr;
    Window window_ = 0;
    Atom property_ = 0;
    int32_t offset_ = 0;
};

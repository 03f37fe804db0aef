#pragma once
// Plays records into the X server with XTEST, and remembers what it pressed so that nothing
// stays held down when a playback ends before the stream released it.
#include <X11/Xlib.h>

#include <cstdint>
#include <set>
#include <vector>

#include "engine/EventMsg.h"

class InputInjector {
  public:
    explicit InputInjector(Display* display) : display_(display) {}

    static bool Available(Display* display);
    void Apply(const EVENTMSG& record);
    // Releases every key and button that Apply pressed and did not release.
    void ReleaseAll();

  private:
    KeyCode KeyCodeFor(const std::vector<uint32_t>& keysyms) const;

    Display* display_;
    std::set<unsigned> keys_;
    std::set<unsigned> buttons_;
};

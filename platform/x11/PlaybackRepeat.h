#pragma once
// Keyboard auto-repeat, off while a playback runs. The server repeats a key that XTEST holds
// as it repeats a real one, but a recording already holds the repeats the user's keyboard
// made: played, a held key would gain presses. The repeat is switched on the core keyboard,
// where the server makes it for every device attached to it.
#include <X11/Xlib.h>

class PlaybackRepeat {
  public:
    explicit PlaybackRepeat(Display* display) : display_(display) {}

    // Turns repeat off if it is on. Does nothing while suspended.
    void Suspend();
    // Turns it on again if Suspend turned it off, and waits until the server has done so:
    // the program may be about to exit.
    void Restore();

  private:
    Display* display_;
    bool suspended_ = false;
    bool turnedOff_ = false;
};

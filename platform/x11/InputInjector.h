#pragma once
// Plays records into the X server with XTEST, and remembers what it pressed so that nothing
// stays held down when a playback ends before the stream released it.
#include <X11/Xlib.h>

#include <set>

#include "engine/EventMsg.h"
#include "platform/common/PumpLoop.h"
#include "platform/x11/KeyMapping.h"
#include "platform/x11/KeycodeTranslation.h"
#include "platform/x11/WheelCarry.h"

class InputInjector : public RecordInjector {
  public:
    explicit InputInjector(Display* display) : display_(display) {}

    static bool Available(Display* display);
    // Reads the layout that records without a usable scan code are played in and the
    // server's key codes, and starts the wheel with nothing carried; called as a playback
    // starts.
    void ReadLayout();
    void Apply(const EVENTMSG& record) override;
    // Releases every key and button that Apply pressed and did not release.
    void ReleaseAll();

  private:
    bool IsKeycode(uint32_t keycode) const;

    Display* display_;
    KeyboardLayout layout_ = KeyboardLayout::Us;
    WheelCarry wheel_;
    KeycodeTranslation keycodes_;
    std::set<unsigned> keys_;
    std::set<unsigned> buttons_;
};

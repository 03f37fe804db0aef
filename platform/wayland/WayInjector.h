#pragma once
// Plays records through one way into the compositor, and remembers what it pressed so that
// nothing stays held down when a playback ends before the stream released it.
#include <set>

#include "engine/EventMsg.h"
#include "platform/common/PumpLoop.h"
#include "platform/wayland/InputWay.h"
#include "platform/x11/KeyMapping.h"

class WayInjector : public RecordInjector {
  public:
    explicit WayInjector(InputWay& way) : way_(way) {}

    // layout: what records without a usable scan code are played in.
    void Start(KeyboardLayout layout) {
        layout_ = layout;
        way_.StartPlayback();
    }
    void Apply(const EVENTMSG& record) override;
    // Releases every key and button that Apply pressed and did not release.
    void ReleaseAll();

  private:
    void Press(uint32_t button, bool press, std::set<uint32_t>& held, bool key);

    InputWay& way_;
    KeyboardLayout layout_ = KeyboardLayout::Us;
    std::set<uint32_t> keys_;     // evdev key codes
    std::set<uint32_t> buttons_;  // evdev button codes
};

// The kernel's button code for an X button number (1 left, 2 middle, 3 right, 8 back,
// 9 forward); 0 for the wheel's buttons and any other.
uint32_t EvdevButton(uint32_t xButton);

#pragma once
// One way into a Wayland compositor's input, for playback: the wlroots virtual pointer and
// keyboard, KWin's fake input, Mutter's remote desktop, or a uinput device. The journal
// turns each record into these calls; every way takes the same units.
#include <cstdint>
#include <memory>
#include <string>

class InputWay {
  public:
    virtual ~InputWay() = default;

    // For the user: which way plays, as "wlroots の仮想入力" and the like.
    virtual std::string Name() const = 0;
    // Moves the pointer to x, y in the layout's logical pixels (the space the compositor
    // places its outputs in; XWayland's root window uses the same).
    virtual void MoveTo(int32_t x, int32_t y) = 0;
    // button: the kernel's code, BTN_LEFT (0x110) and up; BTN_SIDE and BTN_EXTRA for the
    // X buttons.
    virtual void Button(uint32_t button, bool press) = 0;
    // delta: a Windows wheel delta, 120 a notch, positive away from the user (vertical) or
    // to the right (horizontal); parts of a notch are the way's to add up or pass on.
    virtual void Wheel(bool horizontal, int32_t delta) = 0;
    // key: the kernel's key code (evdev, an X key code less 8).
    virtual void Key(uint32_t key, bool press) = 0;
    // A playback starts: parts of a wheel notch that an earlier one left over are dropped.
    virtual void StartPlayback() {}
    // Sends what the calls since the last flush asked for; called after each record.
    virtual void Flush() = 0;
};

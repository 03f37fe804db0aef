#pragma once
// Turns the X server's device events, as the RECORD extension reports them, into the records
// a Windows journal would deliver, so that a macro file is the same on both platforms:
//   keys    WM_KEYDOWN/WM_KEYUP, or WM_SYSKEYDOWN/WM_SYSKEYUP while Alt (either one, AltGr
//           included) is held without Ctrl, and for F10; paramL = virtual-key code | scan
//           code << 8, paramH = repeat count 1 | 0x8000 for an extended key. The key is the
//           physical key (see KeyMapping.h); Ctrl+Pause is Break (VK_CANCEL), Alt+Print
//           SysRq. Keys that no PC keyboard has make no record.
//   mouse   WM_MOUSEMOVE, WM_[LMR]BUTTONDOWN/UP with screen x in paramL and y in paramH
//           (signed 32-bit); the wheel as WM_MOUSEWHEEL / WM_MOUSEHWHEEL at the press of
//           buttons 4..7, the signed delta (+-120 a notch) in the hwnd field.
//   time    the server's time stamp.
// No X headers here: event types and fields are passed as plain numbers.
#include <array>
#include <bitset>
#include <cstdint>
#include <optional>

#include "engine/EventMsg.h"
#include "platform/x11/KeyMapping.h"
#include "platform/x11/KeycodeTranslation.h"

struct XDeviceEvent {
    int type;         // KeyPress 2, KeyRelease 3, ButtonPress 4, ButtonRelease 5, MotionNotify 6
    uint32_t detail;  // key code or button number
    int32_t rootX;
    int32_t rootY;
    uint32_t time;
};

inline constexpr int32_t kWheelDelta = 120;

// The keyboard as a recording finds it.
struct KeyboardState {
    std::bitset<256> keysDown;    // by the server's key code
    KeycodeTranslation keycodes;  // the server's key codes to evdev's
    bool numLock = false;
    KeyboardLayout layout = KeyboardLayout::Us;
};

class EventTranslator {
  public:
    // Starts from the keyboard as it is. Every recording starts so: keys pressed or released
    // while nothing recorded were not seen, and a key held across the start counts as held.
    void Reset(const KeyboardState& state);

    // The record for one device event, or nothing for events that make none (a wheel
    // button's release, buttons beyond 7, keys without a scan code).
    std::optional<EVENTMSG> Translate(const XDeviceEvent& event);

  private:
    std::optional<EVENTMSG> TranslateKey(const XDeviceEvent& event);
    std::optional<EVENTMSG> TranslateButton(const XDeviceEvent& event) const;
    WindowsKey KeyOf(ScanKey scan) const;
    ScanKey ScanOf(uint32_t keycode) const;
    bool Held(uint8_t scanCode) const;

    KeyboardState state_;
    std::array<WindowsKey, 256> pressedAs_{};  // what each held key was recorded as
};

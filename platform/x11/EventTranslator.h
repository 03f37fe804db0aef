#pragma once
// Turns the X server's device events, as the RECORD extension reports them, into the records
// a Windows journal would deliver, so that a macro file is the same on both platforms:
//   keys    WM_KEYDOWN/WM_KEYUP, or WM_SYSKEYDOWN/WM_SYSKEYUP while Alt is held without
//           Ctrl (and for F10); paramL = virtual-key code | scan code << 8, paramH = repeat
//           count 1 | 0x8000 for an extended key. Ctrl+Pause arrives as Break (VK_CANCEL).
//   mouse   WM_MOUSEMOVE, WM_[LMR]BUTTONDOWN/UP with screen x in paramL and y in paramH
//           (signed 32-bit); the wheel as WM_MOUSEWHEEL / WM_MOUSEHWHEEL at the press of
//           buttons 4..7, the signed delta (+-120 a notch) in the hwnd field.
//   time    the server's time stamp.
// No X headers here: event types and fields are passed as plain numbers.
#include <cstdint>
#include <functional>
#include <optional>

#include "engine/EventMsg.h"

struct XDeviceEvent {
    int type;         // KeyPress 2, KeyRelease 3, ButtonPress 4, ButtonRelease 5, MotionNotify 6
    uint32_t detail;  // key code or button number
    int32_t rootX;
    int32_t rootY;
    uint32_t time;
};

inline constexpr int32_t kWheelDelta = 120;

class EventTranslator {
  public:
    // keysymOf gives the unshifted key symbol of a key code in the current mapping.
    explicit EventTranslator(std::function<uint32_t(uint32_t keycode)> keysymOf)
        : keysymOf_(std::move(keysymOf)) {}

    // The record for one device event, or nothing for events that make none (a wheel
    // button's release, buttons beyond 7).
    std::optional<EVENTMSG> Translate(const XDeviceEvent& event);

  private:
    std::optional<EVENTMSG> TranslateKey(const XDeviceEvent& event);
    std::optional<EVENTMSG> TranslateButton(const XDeviceEvent& event) const;
    void TrackModifier(uint32_t keysym, bool down);

    std::function<uint32_t(uint32_t)> keysymOf_;
    int ctrlDown_ = 0;  // how many Ctrl keys are held
    int altDown_ = 0;
};

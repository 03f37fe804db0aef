#pragma once
// Turns the kernel's input events into the records a Windows journal would deliver, as the
// X11 journal's EventTranslator does for X events (an evdev key code is an X key code less 8,
// so the same tables apply). Kept free of devices and of the display.
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/EventMsg.h"
#include "platform/wayland/DeviceEvents.h"
#include "platform/x11/EventTranslator.h"

// Where the pointer was at time (the event's stamp), asked only for mouse records.
using PositionQuery = std::function<PointerPosition(uint32_t time)>;

class EvdevTranslator {
  public:
    // Starts from the keyboard as it is (its layout and the keys held).
    void Reset(const KeyboardState& state);
    // The records one event makes: keys and buttons at once; motion as one move when its
    // frame ends (SYN_REPORT); the wheel with its delta, from REL_WHEEL_HI_RES where the
    // frame has it, else REL_WHEEL x 120 (horizontal likewise).
    std::vector<EVENTMSG> Translate(const DeviceEvent& event, const PositionQuery& position);

  private:
    // What the frame so far holds, axis 0 vertical, 1 horizontal.
    struct Frame {
        bool moved = false;
        std::array<int32_t, 2> notches{};  // REL_WHEEL, REL_HWHEEL
        std::array<int32_t, 2> hiRes{};    // REL_WHEEL_HI_RES, REL_HWHEEL_HI_RES
        std::array<bool, 2> hasHiRes{};
    };
    void AddRelative(const DeviceEvent& event);
    void EndFrame(uint32_t time, const PositionQuery& position, std::vector<EVENTMSG>& records);

    EventTranslator keys_;
    Frame frame_;
};

// Watches for Ctrl+Esc, the user's cancel, among the events.
class CancelKeyWatch {
  public:
    // True at the Esc press while a Ctrl key is held.
    bool Watch(const DeviceEvent& event);
    void Reset();

  private:
    bool leftCtrl_ = false;
    bool rightCtrl_ = false;
};

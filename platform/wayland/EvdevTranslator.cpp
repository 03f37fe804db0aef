#include "platform/wayland/EvdevTranslator.h"

#include <linux/input-event-codes.h>

namespace {

// X event types, as EventTranslator takes them.
constexpr int kKeyPress = 2, kKeyRelease = 3, kButtonPress = 4, kButtonRelease = 5;
constexpr int kMotionNotify = 6;
// The server's evdev key codes are the kernel's plus 8.
constexpr uint32_t kEvdevKeycodeOffset = 8;

// The X button of a kernel button code, as the X server numbers them; 0 for none.
uint32_t XButtonOf(uint16_t code) {
    switch (code) {
        case BTN_LEFT:
            return 1;
        case BTN_MIDDLE:
            return 2;
        case BTN_RIGHT:
            return 3;
        case BTN_SIDE:  // Back
            return 8;
        case BTN_EXTRA:  // Forward
            return 9;
        default:
            return 0;
    }
}

bool IsButton(uint16_t code) {
    return code >= BTN_MISC && code < KEY_OK;
}

}  // namespace

// The layout and the keys held come from XWayland, whose key codes are evdev's; a server
// numbering its keys otherwise has them taken to evdev's here, as the events are.
void EvdevTranslator::Reset(const KeyboardState& state) {
    KeyboardState evdev = state;
    evdev.keycodes = KeycodeTranslation();
    evdev.keysDown.reset();
    for (uint32_t keycode = 0; keycode < state.keysDown.size(); ++keycode) {
        if (!state.keysDown[keycode]) continue;
        const uint32_t own = state.keycodes.FromServer(keycode);
        if (own != 0 && own < evdev.keysDown.size()) evdev.keysDown.set(own);
    }
    keys_.Reset(evdev);
    frame_ = Frame{};
}

std::vector<EVENTMSG> EvdevTranslator::Translate(const DeviceEvent& event,
                                                 const PositionQuery& position) {
    std::vector<EVENTMSG> records;
    if (event.type == EV_KEY && !IsButton(event.code)) {
        // A repeat (2) is another press, as the X server's repeats are.
        const int type = event.value != 0 ? kKeyPress : kKeyRelease;
        auto record =
            keys_.Translate(XDeviceEvent{type, event.code + kEvdevKeycodeOffset, 0, 0, event.time});
        if (record) records.push_back(*record);
    } else if (event.type == EV_KEY) {
        const uint32_t button = XButtonOf(event.code);
        if (button == 0 || event.value == 2) return records;
        const PointerPosition at = position(event.time);
        const int type = event.value != 0 ? kButtonPress : kButtonRelease;
        auto record = keys_.Translate(XDeviceEvent{type, button, at.x, at.y, event.time});
        if (record) records.push_back(*record);
    } else if (event.type == EV_REL) {
        AddRelative(event);
    } else if (event.type == EV_SYN && event.code == SYN_REPORT) {
        EndFrame(event.time, position, records);
    }
    return records;
}

void EvdevTranslator::AddRelative(const DeviceEvent& event) {
    switch (event.code) {
        case REL_X:
        case REL_Y:
            frame_.moved = frame_.moved || event.value != 0;
            break;
        case REL_WHEEL:
        case REL_HWHEEL:
            frame_.notches[event.code == REL_HWHEEL] += event.value;
            break;
        case REL_WHEEL_HI_RES:
        case REL_HWHEEL_HI_RES:
            frame_.hiRes[event.code == REL_HWHEEL_HI_RES] += event.value;
            frame_.hasHiRes[event.code == REL_HWHEEL_HI_RES] = true;
            break;
        default:
            break;
    }
}

// A device with a high-resolution wheel sends both codes, the plain one only as a notch
// completes: the high-resolution amount alone counts. Both share the sign of a Windows delta
// (up and right positive), as buttons 4 and 7 do on X.
void EvdevTranslator::EndFrame(uint32_t time, const PositionQuery& position,
                               std::vector<EVENTMSG>& records) {
    const Frame frame = frame_;
    frame_ = Frame{};
    int32_t deltas[2];
    for (int axis = 0; axis < 2; ++axis) {
        deltas[axis] = frame.hasHiRes[axis] ? frame.hiRes[axis] : frame.notches[axis] * kWheelDelta;
    }
    if (!frame.moved && deltas[0] == 0 && deltas[1] == 0) return;
    const PointerPosition at = position(time);
    if (frame.moved) {
        auto record = keys_.Translate(XDeviceEvent{kMotionNotify, 0, at.x, at.y, time});
        if (record) records.push_back(*record);
    }
    const uint32_t messages[2] = {msg::kMouseWheel, msg::kMouseHWheel};
    for (int axis = 0; axis < 2; ++axis) {
        if (deltas[axis] == 0) continue;
        records.push_back(EVENTMSG{messages[axis], static_cast<uint32_t>(at.x),
                                   static_cast<uint32_t>(at.y), time,
                                   static_cast<uint32_t>(deltas[axis])});
    }
}

bool CancelKeyWatch::Watch(const DeviceEvent& event) {
    if (event.type != EV_KEY) return false;
    const bool down = event.value != 0;
    switch (event.code) {
        case KEY_LEFTCTRL:
            leftCtrl_ = down;
            return false;
        case KEY_RIGHTCTRL:
            rightCtrl_ = down;
            return false;
        case KEY_ESC:
            return event.value == 1 && (leftCtrl_ || rightCtrl_);
        default:
            return false;
    }
}

void CancelKeyWatch::Reset() {
    leftCtrl_ = false;
    rightCtrl_ = false;
}

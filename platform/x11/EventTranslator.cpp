#include "platform/x11/EventTranslator.h"

#include <X11/X.h>

namespace {

constexpr uint8_t kCtrlScan = 0x1D;
constexpr uint8_t kAltScan = 0x38;
constexpr uint8_t kLeftShiftScan = 0x2A;
constexpr uint8_t kRightShiftScan = 0x36;
constexpr ScanKey kPauseKey{0x45, false};
constexpr ScanKey kPrintKey{0x37, true};
constexpr ScanKey kNumLockKey{0x45, true};
constexpr ScanKey kF10Key{0x44, false};

uint32_t Coordinate(int32_t value) {
    return static_cast<uint32_t>(value);
}

EVENTMSG MouseRecord(uint32_t message, const XDeviceEvent& event, uint32_t hwnd = 0) {
    return EVENTMSG{message, Coordinate(event.rootX), Coordinate(event.rootY), event.time, hwnd};
}

}  // namespace

void EventTranslator::Reset(const KeyboardState& state) {
    state_ = state;
    pressedAs_ = {};
}

std::optional<EVENTMSG> EventTranslator::Translate(const XDeviceEvent& event) {
    switch (event.type) {
        case KeyPress:
        case KeyRelease:
            return TranslateKey(event);
        case ButtonPress:
        case ButtonRelease:
            return TranslateButton(event);
        case MotionNotify:
            return MouseRecord(msg::kMouseMove, event);
        default:
            return std::nullopt;
    }
}

ScanKey EventTranslator::ScanOf(uint32_t keycode) const {
    return ScanKeyOfKeycode(state_.keycodes.FromServer(keycode));
}

bool EventTranslator::Held(uint8_t scanCode) const {
    for (std::size_t keycode = 0; keycode < state_.keysDown.size(); ++keycode) {
        if (state_.keysDown[keycode] && ScanOf(keycode).code == scanCode) return true;
    }
    return false;
}

// The key as Windows would report it now: Break and SysRq by the modifiers, the keypad by
// NumLock and Shift.
WindowsKey EventTranslator::KeyOf(ScanKey scan) const {
    if (scan == kPauseKey && Held(kCtrlScan)) scan = kBreakKey;
    if (scan == kPrintKey && Held(kAltScan)) scan = kSysRqKey;
    bool digits = state_.numLock && !Held(kLeftShiftScan) && !Held(kRightShiftScan);
    return WindowsKey{VirtualKeyOf(scan, state_.layout, digits), scan.code, scan.extended};
}

std::optional<EVENTMSG> EventTranslator::TranslateKey(const XDeviceEvent& event) {
    if (event.detail >= state_.keysDown.size()) return std::nullopt;
    const uint32_t keycode = event.detail;
    const bool down = event.type == KeyPress;
    const ScanKey scan = ScanOf(keycode);
    WindowsKey key = KeyOf(scan);
    if (down) {
        pressedAs_[keycode] = key;
        state_.keysDown.set(keycode);
    } else if (state_.keysDown[keycode] && pressedAs_[keycode].scanCode != 0) {
        key = pressedAs_[keycode];  // a key is released as what it was pressed as
    }
    // The system-key variants: Alt held without Ctrl (the Alt key itself included), or F10.
    bool system = (Held(kAltScan) && !Held(kCtrlScan)) || scan == kF10Key;
    if (!down) state_.keysDown.reset(keycode);
    if (down && scan == kNumLockKey) state_.numLock = !state_.numLock;
    if (scan.code == 0) return std::nullopt;  // no PC keyboard has it

    uint32_t message =
        system ? (down ? msg::kSysKeyDown : msg::kSysKeyUp) : (down ? msg::kKeyDown : msg::kKeyUp);
    return EVENTMSG{message, KeyParamL(key), KeyParamH(key), event.time, 0};
}

std::optional<EVENTMSG> EventTranslator::TranslateButton(const XDeviceEvent& event) const {
    bool down = event.type == ButtonPress;
    switch (event.detail) {
        case Button1:
            return MouseRecord(down ? msg::kLButtonDown : msg::kLButtonUp, event);
        case Button2:
            return MouseRecord(down ? msg::kMButtonDown : msg::kMButtonUp, event);
        case Button3:
            return MouseRecord(down ? msg::kRButtonDown : msg::kRButtonUp, event);
        case 8:  // Back: the first X button
        case 9:  // Forward: the second
            return MouseRecord(down ? msg::kXButtonDown : msg::kXButtonUp, event, event.detail - 7);
        default:
            break;
    }
    if (!down || event.detail > 7) return std::nullopt;
    // 4 up (away from the user), 5 down, 6 left, 7 right; one press per notch.
    bool vertical = event.detail <= 5;
    bool positive = event.detail == 4 || event.detail == 7;
    int32_t delta = positive ? kWheelDelta : -kWheelDelta;
    return MouseRecord(vertical ? msg::kMouseWheel : msg::kMouseHWheel, event,
                       static_cast<uint32_t>(delta));
}

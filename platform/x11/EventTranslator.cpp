#include "platform/x11/EventTranslator.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <algorithm>

#include "platform/x11/KeyMapping.h"

namespace {

uint32_t Coordinate(int32_t value) {
    return static_cast<uint32_t>(value);
}

EVENTMSG MouseRecord(uint32_t message, const XDeviceEvent& event, uint32_t hwnd = 0) {
    return EVENTMSG{message, Coordinate(event.rootX), Coordinate(event.rootY), event.time, hwnd};
}

}  // namespace

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

void EventTranslator::TrackModifier(uint32_t keysym, bool down) {
    int step = down ? 1 : -1;
    if (keysym == XK_Control_L || keysym == XK_Control_R) ctrlDown_ = std::max(0, ctrlDown_ + step);
    if (keysym == XK_Alt_L || keysym == XK_Alt_R || keysym == XK_Meta_L || keysym == XK_Meta_R) {
        altDown_ = std::max(0, altDown_ + step);
    }
}

std::optional<EVENTMSG> EventTranslator::TranslateKey(const XDeviceEvent& event) {
    bool down = event.type == KeyPress;
    uint32_t keysym = keysymOf_(event.detail);
    if (keysym == XK_Pause && ctrlDown_ > 0) keysym = XK_Break;
    // The system-key variants: Alt held without Ctrl (the Alt key itself included), or F10.
    if (down) TrackModifier(keysym, true);
    bool system = (altDown_ > 0 && ctrlDown_ == 0) || keysym == XK_F10;
    if (!down) TrackModifier(keysym, false);

    WindowsKey key = WindowsKeyFromKeySym(keysym);
    if (key.virtualKey == 0) key.scanCode = static_cast<uint8_t>(event.detail - 8);
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

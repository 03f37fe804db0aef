#include "platform/wayland/WayInjector.h"

#include <linux/input-event-codes.h>

#include <algorithm>

#include "platform/x11/EventTranslator.h"
#include "platform/x11/InputPlan.h"

uint32_t EvdevButton(uint32_t xButton) {
    switch (xButton) {
        case 1:
            return BTN_LEFT;
        case 2:
            return BTN_MIDDLE;
        case 3:
            return BTN_RIGHT;
        case 8:
            return BTN_SIDE;
        case 9:
            return BTN_EXTRA;
        default:
            return 0;
    }
}

namespace {

// X key codes of the evdev set are the kernel's plus 8.
constexpr uint32_t kXKeycodeOffset = 8;

}  // namespace

void WayInjector::Press(uint32_t code, bool press, std::set<uint32_t>& held, bool key) {
    if (key) {
        way_.Key(code, press);
    } else {
        way_.Button(code, press);
    }
    if (press) {
        held.insert(code);
    } else {
        held.erase(code);
    }
}

void WayInjector::Apply(const EVENTMSG& record) {
    const bool vertical = record.message == msg::kMouseWheel;
    if (vertical || record.message == msg::kMouseHWheel) {
        // The way adds up the parts of a notch; the position is that of the record.
        way_.MoveTo(static_cast<int32_t>(record.paramL), static_cast<int32_t>(record.paramH));
        // At most as many notches as the X11 journal plays, whatever a damaged file holds.
        constexpr int32_t kLimit = kMaxWheelNotches * kWheelDelta;
        way_.Wheel(!vertical, std::clamp(static_cast<int32_t>(record.hwnd), -kLimit, kLimit));
        way_.Flush();
        return;
    }
    for (const InputAction& action : PlanInput(record, layout_)) {
        switch (action.kind) {
            case InputAction::Motion:
                way_.MoveTo(action.x, action.y);
                break;
            case InputAction::Button:
                if (uint32_t button = EvdevButton(action.code)) {
                    Press(button, action.press, buttons_, false);
                }
                break;
            case InputAction::Key:
                if (action.code > kXKeycodeOffset) {
                    Press(action.code - kXKeycodeOffset, action.press, keys_, true);
                }
                break;
        }
    }
    way_.Flush();
}

void WayInjector::ReleaseAll() {
    for (uint32_t button : buttons_) way_.Button(button, false);
    for (uint32_t key : keys_) way_.Key(key, false);
    if (!buttons_.empty() || !keys_.empty()) way_.Flush();
    buttons_.clear();
    keys_.clear();
}

#include "platform/x11/InputPlan.h"

#include <algorithm>

#include "platform/x11/EventTranslator.h"

namespace {

InputAction MoveTo(const EVENTMSG& record) {
    return InputAction{InputAction::Motion, 0, false, static_cast<int32_t>(record.paramL),
                       static_cast<int32_t>(record.paramH)};
}

InputAction ButtonAction(uint32_t button, bool press, const EVENTMSG& record) {
    InputAction action = MoveTo(record);
    action.kind = InputAction::Button;
    action.code = button;
    action.press = press;
    return action;
}

std::vector<InputAction> ButtonPlan(uint32_t button, bool press, const EVENTMSG& record) {
    return {MoveTo(record), ButtonAction(button, press, record)};
}

std::vector<InputAction> WheelPlan(const EVENTMSG& record, bool vertical) {
    int64_t delta = static_cast<int32_t>(record.hwnd);
    uint32_t button = vertical ? (delta >= 0 ? 4 : 5) : (delta >= 0 ? 7 : 6);
    int64_t notches =
        std::clamp<int64_t>((delta < 0 ? -delta : delta) / kWheelDelta, 1, kMaxWheelNotches);
    std::vector<InputAction> plan{MoveTo(record)};
    for (int64_t i = 0; i < notches; ++i) {
        plan.push_back(ButtonAction(button, true, record));
        plan.push_back(ButtonAction(button, false, record));
    }
    return plan;
}

uint32_t KeycodeOf(const EVENTMSG& record, KeyboardLayout layout) {
    WindowsKey key = WindowsKeyFromParams(record.paramL, record.paramH);
    uint32_t keycode = KeycodeOfScanKey(ScanKey{key.scanCode, key.extended});
    if (keycode != 0) return keycode;
    return KeycodeOfScanKey(ScanKeyOfVirtualKey(key.virtualKey, layout));
}

std::vector<InputAction> KeyPlan(const EVENTMSG& record, bool press, KeyboardLayout layout) {
    uint32_t keycode = KeycodeOf(record, layout);
    if (keycode == 0) return {};
    return {InputAction{InputAction::Key, keycode, press}};
}

}  // namespace

std::vector<InputAction> PlanInput(const EVENTMSG& record, KeyboardLayout layout) {
    switch (record.message) {
        case msg::kMouseMove:
            return {MoveTo(record)};
        case msg::kLButtonDown:
        case msg::kLButtonUp:
            return ButtonPlan(1, record.message == msg::kLButtonDown, record);
        case msg::kMButtonDown:
        case msg::kMButtonUp:
            return ButtonPlan(2, record.message == msg::kMButtonDown, record);
        case msg::kRButtonDown:
        case msg::kRButtonUp:
            return ButtonPlan(3, record.message == msg::kRButtonDown, record);
        case msg::kMouseWheel:
            return WheelPlan(record, true);
        case msg::kMouseHWheel:
            return WheelPlan(record, false);
        default:
            break;
    }
    if (!IsKeyboardMessage(record.message)) return {};
    bool press = record.message == msg::kKeyDown || record.message == msg::kSysKeyDown;
    bool release = record.message == msg::kKeyUp || record.message == msg::kSysKeyUp;
    return press || release ? KeyPlan(record, press, layout) : std::vector<InputAction>{};
}

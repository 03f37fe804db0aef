#include "platform/x11/InputPlan.h"

#include "platform/x11/EventTranslator.h"
#include "platform/x11/KeyMapping.h"

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
    int32_t delta = static_cast<int32_t>(record.hwnd);
    uint32_t button = vertical ? (delta >= 0 ? 4 : 5) : (delta >= 0 ? 7 : 6);
    int32_t notches = (delta < 0 ? -delta : delta) / kWheelDelta;
    if (notches < 1) notches = 1;
    std::vector<InputAction> plan{MoveTo(record)};
    for (int32_t i = 0; i < notches; ++i) {
        plan.push_back(ButtonAction(button, true, record));
        plan.push_back(ButtonAction(button, false, record));
    }
    return plan;
}

std::vector<InputAction> KeyPlan(const EVENTMSG& record, bool press) {
    bool handedOver = record.message == msg::kKeyDown || record.message == msg::kKeyUp;
    WindowsKey key = handedOver ? WindowsKeyFromHandedParams(record.paramL, record.paramH)
                                : WindowsKeyFromParams(record.paramL, record.paramH);
    std::vector<uint32_t> keysyms =
        KeySymsFromWindowsKey(key.virtualKey, key.scanCode, key.extended);
    if (keysyms.empty()) return {};
    return {InputAction{InputAction::Key, keysyms.front(), press, 0, 0, std::move(keysyms)}};
}

}  // namespace

std::vector<InputAction> PlanInput(const EVENTMSG& record) {
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
    return press || release ? KeyPlan(record, press) : std::vector<InputAction>{};
}

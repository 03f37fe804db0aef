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
        std::clamp<int64_t>((delta < 0 ? -delta : delta) / kWheelDelta, 0, kMaxWheelNotches);
    std::vector<InputAction> plan{MoveTo(record)};
    for (int64_t i = 0; i < notches; ++i) {
        plan.push_back(ButtonAction(button, true, record));
        plan.push_back(ButtonAction(button, false, record));
    }
    return plan;
}

// The key a record plays: its scan key, or the key of its virtual-key code in the layout.
ScanKey ScanKeyOf(const WindowsKey& key, KeyboardLayout layout) {
    const ScanKey scan{key.scanCode, key.extended};
    if (KeycodeOfScanKey(scan) != 0) return scan;
    return ScanKeyOfVirtualKey(key.virtualKey, layout);
}

std::vector<InputAction> KeyPlan(const EVENTMSG& record, bool press, KeyboardLayout layout,
                                 const KeypadQuery& keypadGivesDigits) {
    const WindowsKey key = WindowsKeyFromParams(record.paramL, record.paramH);
    const ScanKey scan = ScanKeyOf(key, layout);
    const uint32_t keycode = KeycodeOfScanKey(scan);
    if (keycode == 0) return {};
    const InputAction action{InputAction::Key, keycode, press};
    const std::optional<bool> digit = KeypadDigitWanted(scan, key.virtualKey);
    if (!digit || !keypadGivesDigits || keypadGivesDigits() == *digit) return {action};
    const uint32_t numLock = KeycodeOfScanKey(kNumLockScanKey);
    const InputAction numLockDown{InputAction::Key, numLock, true};
    const InputAction numLockUp{InputAction::Key, numLock, false};
    return {numLockDown, numLockUp, action, numLockDown, numLockUp};
}

}  // namespace

std::vector<InputAction> PlanInput(const EVENTMSG& record, KeyboardLayout layout,
                                   const KeypadQuery& keypadGivesDigits) {
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
        case msg::kXButtonDown:
        case msg::kXButtonUp:
            // Buttons 8 and 9; a damaged file's other numbers play nothing.
            if (record.hwnd != 1 && record.hwnd != 2) return {};
            return ButtonPlan(7 + record.hwnd, record.message == msg::kXButtonDown, record);
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
    return press || release ? KeyPlan(record, press, layout, keypadGivesDigits)
                            : std::vector<InputAction>{};
}

// Any record through the X11 side's input planning, in both keyboard layouts: a bounded
// number of actions per record, pointer actions at the record's position, real buttons and
// key codes only (buttons 1 to 9, with Back and Forward).
#include "FuzzInput.h"
#include "platform/x11/InputPlan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < kEventMsgSize) return 0;
    for (std::size_t at = 0; at + kEventMsgSize <= size; at += kEventMsgSize) {
        const EVENTMSG record = DecodeEvent(data + at);
        for (KeyboardLayout layout : {KeyboardLayout::Us, KeyboardLayout::Japanese}) {
            const std::vector<InputAction> plan = PlanInput(record, layout);
            FUZZ_CHECK(plan.size() <= 1 + 2 * static_cast<std::size_t>(kMaxWheelNotches));
            for (const InputAction& action : plan) {
                if (action.kind == InputAction::Key) {
                    FUZZ_CHECK(action.code >= 8 && action.code <= 255);
                    continue;
                }
                FUZZ_CHECK(action.x == static_cast<int32_t>(record.paramL));
                FUZZ_CHECK(action.y == static_cast<int32_t>(record.paramH));
                if (action.kind == InputAction::Button) {
                    FUZZ_CHECK(action.code >= 1 && action.code <= 9);
                }
            }
        }
    }
    return 0;
}

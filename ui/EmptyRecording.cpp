#include "ui/EmptyRecording.h"

#include "engine/EventMsg.h"

namespace {

constexpr uint32_t kVkControl = 0x11;
constexpr uint32_t kVkLeftControl = 0xA2;
constexpr uint32_t kVkRightControl = 0xA3;

bool IsButtonDown(uint32_t message) {
    return message == msg::kLButtonDown || message == msg::kRButtonDown ||
           message == msg::kMButtonDown || message == msg::kXButtonDown;
}

bool IsButtonUp(uint32_t message) {
    return message == msg::kLButtonUp || message == msg::kRButtonUp || message == msg::kMButtonUp ||
           message == msg::kXButtonUp;
}

bool IsStopKey(uint32_t virtualKey) {
    return virtualKey == kVkCancel || virtualKey == kVkControl || virtualKey == kVkLeftControl ||
           virtualKey == kVkRightControl;
}

}  // namespace

bool RecordedOnlyTheStop(const MacroStream& stream, std::size_t begin, std::size_t end) {
    int presses = 0;
    for (std::size_t at = begin; at + kEventMsgSize <= end && end <= stream.Size();
         at += kEventMsgSize) {
        const EVENTMSG event = DecodeEvent(stream.Data() + at);
        if (IsKeyboardMessage(event.message)) {
            if (!IsStopKey(event.paramL & 0xFF)) return false;
        } else if (IsButtonDown(event.message)) {
            if (++presses > 1) return false;
        } else if (event.message != msg::kMouseMove && !IsButtonUp(event.message)) {
            return false;
        }
    }
    return true;
}

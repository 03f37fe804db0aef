#include "platform/wayland/PolledSource.h"

#include <linux/input-event-codes.h>

#include "platform/posix/MonotonicClock.h"

bool PolledSource::Start(Report report, std::string& refusal) {
    std::string error;
    const std::optional<PointerPosition> at = Poll(error);
    if (!at) {
        refusal = Name() + ": " + error;
        Close();
        return false;
    }
    report_ = std::move(report);
    lastPoll_ = MonotonicTick();
    quiet_ = false;
    report_(*at, lastPoll_);
    return true;
}

// Asked at a button, and at the first relative event of a frame (motion or wheel).
void PolledSource::Before(const DeviceEvent& event) {
    if (!report_) return;
    const bool mouse = (event.type == EV_KEY && event.code >= BTN_MISC && event.code < KEY_OK) ||
                       event.type == EV_REL;
    if (!mouse) return;
    const uint32_t now = MonotonicTick();
    if (quiet_ && static_cast<int32_t>(now - quietUntil_) < 0) return;
    quiet_ = false;
    if (now - lastPoll_ < kMinPollGapMs) return;
    PollNow(event.time);
}

// The answer, given just after the event, is stamped with the event's time, so that the event
// takes it: a click after the pointer moved without relative events (a touchpad's absolute
// ones) carries where it is, not where the last poll found it.
void PolledSource::PollNow(uint32_t eventTime) {
    std::string error;
    const std::optional<PointerPosition> at = Poll(error);
    lastPoll_ = MonotonicTick();
    if (at) {
        report_(*at, eventTime);
    } else {
        quiet_ = true;
        quietUntil_ = lastPoll_ + kQuietAfterFailureMs;
    }
}

void PolledSource::Stop() {
    report_ = nullptr;
    Close();
}

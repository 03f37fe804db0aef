#include "platform/wayland/RelativeSource.h"

#include <linux/input-event-codes.h>

#include <algorithm>

RelativeSource::RelativeSource(Known known, Layout layout)
    : known_(std::move(known)), layout_(std::move(layout)) {}

bool RelativeSource::Start(Report report, std::string&) {
    report_ = std::move(report);
    box_ = layout_();
    box_.width = std::max(box_.width, 1);
    box_.height = std::max(box_.height, 1);
    lastKnown_ = known_();
    at_ = lastKnown_.value_or(PointerPosition{box_.x + box_.width / 2, box_.y + box_.height / 2});
    Move(at_.x, 0, box_.x, box_.width);
    Move(at_.y, 0, box_.y, box_.height);
    moved_ = false;
    return true;
}

void RelativeSource::Before(const DeviceEvent& event) {
    if (!report_) return;
    if (event.type == EV_REL) {
        if (event.code == REL_X) Move(at_.x, event.value, box_.x, box_.width);
        if (event.code == REL_Y) Move(at_.y, event.value, box_.y, box_.height);
        moved_ = true;
    } else if (event.type == EV_KEY && event.code >= BTN_MISC && event.code < KEY_OK) {
        Locate(event.time);
    } else if (event.type == EV_SYN && event.code == SYN_REPORT && moved_) {
        moved_ = false;
        Locate(event.time);
    }
}

// The pointer stops at the layout's edges, as the compositor stops it.
void RelativeSource::Move(int32_t& coordinate, int32_t by, int32_t low, int32_t extent) {
    const int64_t moved = static_cast<int64_t>(coordinate) + by;
    coordinate = static_cast<int32_t>(std::clamp<int64_t>(moved, low, low + extent - 1));
}

// XWayland's answer changes only while the pointer is over an X window: it is then the true
// position; an unchanged answer is an old one and the estimate goes on.
void RelativeSource::Locate(uint32_t time) {
    const std::optional<PointerPosition> known = known_();
    if (known && known != lastKnown_) {
        at_ = *known;
        Move(at_.x, 0, box_.x, box_.width);
        Move(at_.y, 0, box_.y, box_.height);
    }
    if (known) lastKnown_ = known;
    report_(at_, time);
}

#include "platform/wayland/PositionHistory.h"

namespace {

// Reports kept while no mouse event asks (a pointer moved by a device not recorded): the
// oldest go first.
constexpr std::size_t kMostReports = 4096;

// Ticks wrap after 49 days: compared by their difference.
bool AtOrBefore(uint32_t time, uint32_t limit) {
    return static_cast<int32_t>(time - limit) <= 0;
}

}  // namespace

void PositionHistory::Reset() {
    reports_.clear();
}

void PositionHistory::Add(PointerPosition at, uint32_t time) {
    if (!reports_.empty() && AtOrBefore(time, reports_.back().time)) time = reports_.back().time;
    reports_.push_back(Report{at, time});
    if (reports_.size() > kMostReports) reports_.pop_front();
}

PointerPosition PositionHistory::At(uint32_t time) {
    if (reports_.empty()) return PointerPosition{};
    while (reports_.size() > 1 && AtOrBefore(reports_[1].time, time)) reports_.pop_front();
    return reports_.front().at;
}

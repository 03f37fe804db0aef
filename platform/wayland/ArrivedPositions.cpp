#include "platform/wayland/ArrivedPositions.h"

#include "platform/posix/MonotonicClock.h"

namespace {

// Positions kept while no device event takes them (a pointer moved by other means).
constexpr std::size_t kMostHeld = 4096;

}  // namespace

void ArrivedPositions::Add(PointerPosition at) {
    const uint32_t now = MonotonicTick();
    {
        std::lock_guard lock(mutex_);
        held_.push_back(Arrival{at, now});
        if (held_.size() > kMostHeld) held_.pop_front();
    }
    added_.notify_all();
}

void ArrivedPositions::Deliver(const PointerSource::Report& report) {
    std::deque<Arrival> taken;
    {
        std::lock_guard lock(mutex_);
        taken.swap(held_);
    }
    for (const Arrival& arrival : taken) report(arrival.at, arrival.time);
}

bool ArrivedPositions::WaitForOne(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return added_.wait_for(lock, timeout, [this] { return !held_.empty(); });
}

void ArrivedPositions::Clear() {
    std::lock_guard lock(mutex_);
    held_.clear();
}

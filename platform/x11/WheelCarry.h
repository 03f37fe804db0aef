#pragma once
// Wheel records below one notch: precision touchpads and high-resolution wheels report parts
// of a notch (15, 30...), while the X server turns the wheel by whole notches only. The parts
// add up from record to record, per axis, and a notch is played for every 120.
#include <algorithm>
#include <cstdint>

#include "platform/x11/EventTranslator.h"
#include "platform/x11/InputPlan.h"

class WheelCarry {
  public:
    // The delta to play for a record's delta: whole notches, at most kMaxWheelNotches of
    // them; the part of a notch left over waits for the next record of the same axis.
    int32_t Take(int32_t delta, bool vertical) {
        int64_t& carried = carried_[vertical ? 0 : 1];
        const int64_t total = carried + delta;
        const int64_t whole = total / kWheelDelta * kWheelDelta;  // towards zero
        carried = total - whole;
        const int64_t limit = int64_t{kMaxWheelNotches} * kWheelDelta;
        return static_cast<int32_t>(std::clamp(whole, -limit, limit));
    }

    // A playback starts with nothing carried.
    void Reset() { carried_[0] = carried_[1] = 0; }

  private:
    int64_t carried_[2] = {0, 0};
};

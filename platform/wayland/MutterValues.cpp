#include "platform/wayland/MutterValues.h"

#include <algorithm>

namespace {

// How far x lies outside [low, low + size).
int64_t Outside(int32_t x, int32_t low, int32_t size) {
    if (x < low) return static_cast<int64_t>(low) - x;
    const int64_t last = static_cast<int64_t>(low) + size - 1;
    return x > last ? x - last : 0;
}

// Squared distance from the point to the monitor; 0 inside.
int64_t Distance(const MutterMonitor& monitor, int32_t x, int32_t y) {
    const int64_t dx = Outside(x, monitor.x, monitor.width);
    const int64_t dy = Outside(y, monitor.y, monitor.height);
    return dx * dx + dy * dy;
}

}  // namespace

StreamPoint PlaceOnStream(const std::vector<MutterMonitor>& monitors, int32_t x, int32_t y) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < monitors.size(); ++i) {
        if (Distance(monitors[i], x, y) < Distance(monitors[best], x, y)) best = i;
    }
    const MutterMonitor& monitor = monitors[best];
    return StreamPoint{best, (static_cast<double>(x) - monitor.x) * monitor.scale,
                       (static_cast<double>(y) - monitor.y) * monitor.scale};
}

double MutterWheel::Turn(bool horizontal, int32_t delta) {
    constexpr int32_t kUnit = 12;  // Windows delta of one unit of Mutter's value
    int32_t& carried = carried_[horizontal ? 1 : 0];
    if ((carried < 0 && delta > 0) || (carried > 0 && delta < 0)) carried = 0;
    carried += delta;
    const int32_t units = carried / kUnit;  // toward zero: the rest keeps the sign
    carried -= units * kUnit;
    // A Windows delta is positive away from the user, Mutter's value positive down.
    return horizontal ? units : -units;
}

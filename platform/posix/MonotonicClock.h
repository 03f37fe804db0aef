#pragma once
// The clock of the X server's time stamps: Xorg and Xvfb stamp events with CLOCK_MONOTONIC
// milliseconds, so the journal's tick count is that clock cut to 32 bits.
#include <cstdint>
#include <ctime>

inline uint64_t MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1'000'000'000u + static_cast<uint64_t>(now.tv_nsec);
}

inline uint32_t MonotonicTick() {
    return static_cast<uint32_t>(MonotonicNanoseconds() / 1'000'000u);
}

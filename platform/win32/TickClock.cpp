#include "platform/win32/TickClock.h"

#include "platform/win32/WindowsApi.h"

namespace {

struct CounterOrigin {
    uint64_t frequency;
    uint64_t counter;      // the performance counter at the first reading
    uint64_t nanoseconds;  // the tick count then, in nanoseconds
};

const CounterOrigin& Origin() {
    static const CounterOrigin origin = [] {
        LARGE_INTEGER frequency{};
        LARGE_INTEGER counter{};
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&counter);
        return CounterOrigin{static_cast<uint64_t>(frequency.QuadPart),
                             static_cast<uint64_t>(counter.QuadPart),
                             uint64_t{GetTickCount()} * 1'000'000u};
    }();
    return origin;
}

}  // namespace

uint64_t TickNanoseconds() {
    const CounterOrigin& origin = Origin();
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    const uint64_t elapsed = static_cast<uint64_t>(counter.QuadPart) - origin.counter;
    // Split so that the product stays within 64 bits for any counter frequency below 18 GHz.
    const uint64_t seconds = elapsed / origin.frequency;
    const uint64_t rest = elapsed % origin.frequency;
    return origin.nanoseconds + seconds * 1'000'000'000u + rest * 1'000'000'000u / origin.frequency;
}

uint32_t TickMilliseconds() {
    return static_cast<uint32_t>(TickNanoseconds() / 1'000'000u);
}

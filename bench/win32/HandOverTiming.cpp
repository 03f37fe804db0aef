#include "HandOverTiming.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "e2e/Timing.h"
#include "platform/win32/InputSender.h"
#include "platform/win32/LoopTimers.h"
#include "platform/win32/TickClock.h"

namespace {

struct Schedule {
    uint64_t start = 0;  // ns on the journal's clock
    long spacing = 0;    // ms
    long count = 0;
    long next = 0;
    long refused = 0;  // moves the system did not take
    InputSender sender{[this] { ++refused; }};
    std::vector<double> wakes;
    std::vector<double> sends;
};

void PlayNext(void* context);

// The next move's due time, on the journal's clock in nanoseconds.
uint64_t NextDue(const Schedule& schedule) {
    return schedule.start + static_cast<uint64_t>(schedule.next * schedule.spacing) * 1'000'000u;
}

// Asks the loop for the next move, aimed like the playback pump aims a record.
void ScheduleNext(Schedule& schedule) {
    const auto left = static_cast<int64_t>(NextDue(schedule) / 1'000'000u) -
                      static_cast<int64_t>(TickNanoseconds() / 1'000'000u);
    LoopTimers::Instance().CallAfter(static_cast<int32_t>(std::max<int64_t>(left, 0)), &PlayNext,
                                     &schedule);
}

void PlayNext(void* context) {
    auto& schedule = *static_cast<Schedule*>(context);
    const uint64_t due = NextDue(schedule);
    const uint64_t woke = TickNanoseconds();
    const auto i = static_cast<uint32_t>(schedule.next);
    try {
        schedule.sender.Apply(EVENTMSG{msg::kMouseMove, 100 + (i % 2) * 50, 100 + i % 400, 0, 0});
    } catch (const std::exception&) {
        ++schedule.refused;  // a window in front that the system keeps input from
    }
    const uint64_t sent = TickNanoseconds();
    schedule.wakes.push_back(static_cast<double>(static_cast<int64_t>(woke - due)) / 1e6);
    schedule.sends.push_back(static_cast<double>(sent - woke) / 1e6);
    if (++schedule.next < schedule.count) ScheduleNext(schedule);
}

HandOverFigures::Spread SpreadOf(const std::vector<double>& values) {
    return {Percentile(values, 0.5), Percentile(values, 0.99), Percentile(values, 1.0)};
}

}  // namespace

HandOverFigures MeasureHandOver(long count, long spacing) {
    Schedule schedule;
    schedule.count = count;
    schedule.spacing = spacing;
    schedule.sender.Prepare();
    schedule.start = (TickNanoseconds() / 1'000'000u + 100) * 1'000'000u;
    ScheduleNext(schedule);
    LoopTimers& timers = LoopTimers::Instance();
    MSG message{};
    while (schedule.next < count) {
        // In the order of the program's own loop.
        timers.WaitForMessagesOrDue(100);
        timers.RunDue();
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    return {SpreadOf(schedule.wakes), SpreadOf(schedule.sends), schedule.refused};
}

#pragma once
// What the Wayland timing benchmarks share: a dense macro over one output and the probe line
// each record gives, its playback by the real program with the probe's arrival stamps, the
// figures as counters, and the timing of single calls of a way.
#include <benchmark/benchmark.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "MacroFiles.h"
#include "ProbeClient.h"
#include "ProgramRunner.h"

// A record and the probe line it must give (none: a pointer entry anywhere).
struct Step {
    MacroRecord record;
    std::string line;
};

// count records, spacing ms apart: moves over the output at (left, top), each to a new place,
// and key presses and releases between them.
std::vector<Step> DenseSteps(long count, long spacing, int left, int top);

// When the probe got a line: CLOCK_MONOTONIC microseconds, and the event's own time field.
struct Arrival {
    int64_t micros = 0;
    uint32_t eventMs = 0;
};

// Plays the steps through the runner, set up for the compositor; the arrival of each, or
// nothing when the playback did not reach the probe (started with stamps).
std::optional<std::vector<Arrival>> PlaySteps(ProgramRunner& runner, ProbeClient& probe,
                                              const std::vector<Step>& steps);

// median_ms, p99_ms, worst_ms of |event time - due| (the time the compositor gave the event),
// and arrival_* of |probe's arrival - due|, all relative to the first event; arrival_spread_*
// of how far each arrival lies from the median lateness.
void ReportArrivals(benchmark::State& state, const std::vector<Step>& steps,
                    const std::vector<Arrival>& arrivals);

// Microseconds each of count calls took, a millisecond apart as a playback spaces them.
template <typename Call>
std::vector<double> TimeCalls(long count, Call call) {
    std::vector<double> micros;
    for (long step = 0; step < count; ++step) {
        const auto start = std::chrono::steady_clock::now();
        call(step);
        const auto spent = std::chrono::steady_clock::now() - start;
        micros.push_back(std::chrono::duration<double, std::micro>(spent).count());
        benchmark::DoNotOptimize(micros.back());
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return micros;
}

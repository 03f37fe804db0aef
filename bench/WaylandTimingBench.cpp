// Playback timing through the wlroots virtual pointer and keyboard, on a private headless
// sway, beside the X11 figures of DesktopTimingBench:
//   1. a dense macro played by the program (TAPEWRIGHT_TIMING_EVENTS events, default 200,
//      every TAPEWRIGHT_TIMING_SPACING_MS, default 100; moves and key presses and releases)
//      to the probe window, both times relative to the first event: |stamp - due| per event,
//      the stamp being the event's time field, which wlroots takes from the program's
//      request (as the X server stamps an XTEST event it takes in), in whole milliseconds;
//      and |arrival - due|, arrival being the probe's CLOCK_MONOTONIC as it got the event,
//      in whole milliseconds as well as to the microsecond;
//   2. the cost of one protocol request as the journal makes it: MoveTo + Flush, and
//      Key + Flush, called in this process through the same way, a millisecond apart.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

#include "Desktop.h"
#include "MacroFiles.h"
#include "ProbeClient.h"
#include "ProgramRunner.h"
#include "Setting.h"
#include "SwayCompositor.h"
#include "Timing.h"
#include "WaylandPlayback.h"
#include "XvfbServer.h"
#include "platform/wayland/InputWays.h"

namespace {

using namespace std::chrono_literals;

struct Session {
    XvfbServer xvfb;
    SwayCompositor sway;
    ProbeClient probe;
};

bool StartSession(benchmark::State& state, Session& session, bool probe) {
    if (!session.xvfb.Start()) {
        state.SkipWithError(("Xvfb: " + session.xvfb.Error()).c_str());
        return false;
    }
    if (!session.sway.Start()) {
        state.SkipWithError(("sway: " + session.sway.Error()).c_str());
        return false;
    }
    if (probe && !session.sway.AddSeatDevices()) {
        state.SkipWithError("sway's seat got no devices");
        return false;
    }
    if (probe && (!session.probe.Start(session.sway, "HEADLESS-2", true) ||
                  !session.probe.WaitFor(
                      [](const std::string& line) { return line.rfind("ready", 0) == 0; }, 20s))) {
        state.SkipWithError("the probe window did not come up");
        return false;
    }
    return true;
}

// Plays the steps through the program; the arrival of each.
std::optional<std::vector<Arrival>> Play(Session& session, const std::vector<Step>& steps) {
    ProgramRunner runner(ProgramBinary(), session.xvfb.DisplayName());
    if (!runner.Prepare()) return std::nullopt;
    for (const auto& [name, value] : session.sway.ClientEnvironment()) {
        runner.SetEnvironment(name, value);
    }
    runner.SetEnvironment("TAPEWRIGHT_JOURNAL", "wayland");
    runner.SetEnvironment("TAPEWRIGHT_INPUT_WAY", "wlroots");
    return PlaySteps(runner, session.probe, steps);
}

void BM_WlrootsPlaybackTiming(benchmark::State& state) {
    if (!std::filesystem::exists(ProgramBinary())) return state.SkipWithError("no program");
    Session session;
    if (!StartSession(state, session, true)) return;
    const std::vector<Step> steps = DenseSteps(Setting("TAPEWRIGHT_TIMING_EVENTS", 200),
                                               Setting("TAPEWRIGHT_TIMING_SPACING_MS", 100),
                                               SwayCompositor::kSecondX, SwayCompositor::kSecondY);
    for (auto _ : state) {
        auto arrivals = Play(session, steps);
        if (!arrivals) return state.SkipWithError("the playback did not reach the probe");
        // As on X11: the event's time stamp, here the one the program gave it as it sent it.
        ReportArrivals(state, steps, *arrivals);
    }
}
BENCHMARK(BM_WlrootsPlaybackTiming)->Iterations(1)->Unit(benchmark::kSecond);

// The way opened in this process, on the session's sway.
std::unique_ptr<InputWay> OpenWay(benchmark::State& state, Session& session) {
    if (!StartSession(state, session, false)) return nullptr;
    for (const auto& [name, value] : session.sway.ClientEnvironment()) {
        setenv(name.c_str(), value.c_str(), 1);
    }
    std::string refusal;
    std::unique_ptr<InputWay> way = OpenWlrootsWay(refusal);
    if (!way) state.SkipWithError(refusal.c_str());
    return way;
}

// Times each call alone, a millisecond apart as a playback spaces them, so that the compositor
// keeps up: the mean is the benchmark's time, median and p99 are counters.
template <typename Call>
void TimeCalls(benchmark::State& state, Call call) {
    std::vector<double> micros;
    long step = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        call(step++);
        const auto spent = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(std::chrono::duration<double>(spent).count());
        micros.push_back(std::chrono::duration<double, std::micro>(spent).count());
        std::this_thread::sleep_for(1ms);
    }
    state.counters["median_us"] = Percentile(micros, 0.5);
    state.counters["p99_us"] = Percentile(micros, 0.99);
}

void BM_WlrootsMoveAndFlush(benchmark::State& state) {
    Session session;
    std::unique_ptr<InputWay> way = OpenWay(state, session);
    if (!way) return;
    TimeCalls(state, [&way](long step) {
        way->MoveTo(static_cast<int32_t>(100 + step % 1000),
                    static_cast<int32_t>(100 + step % 500));
        way->Flush();
    });
}
BENCHMARK(BM_WlrootsMoveAndFlush)->Iterations(3000)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_WlrootsKeyAndFlush(benchmark::State& state) {
    Session session;
    std::unique_ptr<InputWay> way = OpenWay(state, session);
    if (!way) return;
    TimeCalls(state, [&way](long step) {
        way->Key(30, step % 2 == 0);  // a, pressed and released in turn
        way->Flush();
    });
}
BENCHMARK(BM_WlrootsKeyAndFlush)->Iterations(3000)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

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
#include "XvfbServer.h"
#include "platform/wayland/InputWays.h"

namespace {

using namespace std::chrono_literals;

// Moves over the probe's output (the second), each to a new place, and key presses and
// releases between them; the probe line that each record must give.
struct Step {
    MacroRecord record;
    std::string line;
};

std::vector<Step> DenseSteps(long count, long spacing) {
    const PcKey keys[] = {pc::kA, pc::kB, pc::kC, pc::kD};
    const int evdev[] = {30, 48, 46, 32};  // the same keys' kernel codes
    std::vector<Step> steps;
    for (long i = 0; i < count; ++i) {
        const auto time = static_cast<uint32_t>(i * spacing);
        const int x = 20 + static_cast<int>(i % 700);
        const int y = 100 + static_cast<int>(i / 4 % 300);
        const int key = static_cast<int>(i / 4 % 4);
        switch (i % 4) {
            case 1:
                steps.push_back({KeyRecord(wm::kKeyDown, keys[key], time),
                                 "key " + std::to_string(evdev[key]) + " 1"});
                break;
            case 2:
                steps.push_back({KeyRecord(wm::kKeyUp, keys[key], time),
                                 "key " + std::to_string(evdev[key]) + " 0"});
                break;
            default:
                steps.push_back(
                    {MoveRecord(SwayCompositor::kSecondX + x, SwayCompositor::kSecondY + y, time),
                     std::to_string(x) + " " + std::to_string(y)});
                break;
        }
    }
    return steps;
}

// A move's line is "motion X Y" or, the first time, "enter X Y".
bool Matches(const Step& step, const std::string& line) {
    const std::string text = line.substr(0, line.rfind(" @"));
    if (step.record.message == wm::kMouseMove) {
        return text == "motion " + step.line || text == "enter " + step.line;
    }
    return text == step.line;
}

// " @<arrival microseconds> <event time ms>" at the line's end.
struct Arrival {
    int64_t micros = 0;
    uint32_t eventMs = 0;
};

Arrival ReadStamp(const std::string& line) {
    char* end = nullptr;
    Arrival arrival;
    arrival.micros = std::strtoll(line.c_str() + line.rfind(" @") + 2, &end, 10);
    arrival.eventMs = static_cast<uint32_t>(std::strtoul(end, nullptr, 10));
    // A pointer entry has no time of its own.
    if (arrival.eventMs == 0) arrival.eventMs = static_cast<uint32_t>(arrival.micros / 1000);
    return arrival;
}

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
    std::vector<MacroRecord> records;
    for (const Step& step : steps) records.push_back(step.record);
    const std::string macro = runner.File("dense.mcr");
    if (!WriteMacroFile(macro, records) || !runner.Start({macro, "/S", "/E", "/D"})) {
        return std::nullopt;
    }
    std::vector<Arrival> arrivals;
    for (const Step& step : steps) {
        auto line = session.probe.WaitFor(
            [&step](const std::string& got) { return Matches(step, got); }, 30s);
        if (!line) {
            std::fprintf(stderr, "no \"%s\" from the probe\n%s", step.line.c_str(),
                         runner.Output().c_str());
            return std::nullopt;
        }
        arrivals.push_back(ReadStamp(*line));
    }
    if (runner.WaitForExit(30s) != 0) return std::nullopt;
    return arrivals;
}

void BM_WlrootsPlaybackTiming(benchmark::State& state) {
    if (!std::filesystem::exists(ProgramBinary())) return state.SkipWithError("no program");
    Session session;
    if (!StartSession(state, session, true)) return;
    const std::vector<Step> steps = DenseSteps(Setting("TAPEWRIGHT_TIMING_EVENTS", 200),
                                               Setting("TAPEWRIGHT_TIMING_SPACING_MS", 100));
    for (auto _ : state) {
        auto arrivals = Play(session, steps);
        if (!arrivals) return state.SkipWithError("the playback did not reach the probe");
        std::vector<uint32_t> due;
        std::vector<uint32_t> sent;
        std::vector<uint32_t> arrivedMs;
        std::vector<double> errorsMs;
        const Arrival& first = arrivals->front();
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const Arrival& arrival = (*arrivals)[i];
            due.push_back(steps[i].record.time);
            sent.push_back(arrival.eventMs);
            arrivedMs.push_back(static_cast<uint32_t>(arrival.micros / 1000));
            const double late = static_cast<double>(arrival.micros - first.micros) / 1000.0 -
                                static_cast<double>(steps[i].record.time - steps[0].record.time);
            errorsMs.push_back(late < 0 ? -late : late);
        }
        // As on X11: the event's time stamp, here the one the program gave it as it sent it.
        const TimingFigures figures = MeasureTiming(due, sent);
        const TimingFigures arrived = MeasureTiming(due, arrivedMs);
        state.counters["median_ms"] = figures.median;
        state.counters["p99_ms"] = figures.p99;
        state.counters["worst_ms"] = figures.worst;
        state.counters["arrival_median_ms"] = arrived.median;
        state.counters["arrival_p99_ms"] = arrived.p99;
        state.counters["arrival_median_exact_ms"] = Percentile(errorsMs, 0.5);
        state.counters["arrival_p99_exact_ms"] = Percentile(errorsMs, 0.99);
        state.counters["arrival_worst_ms"] = arrived.worst;
        state.SetLabel(figures.Summary());
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

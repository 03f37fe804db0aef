// How closely tapewright keeps to a macro's schedule when it plays at 100 %, and whether it
// keeps every event of a fast burst when it records, on a private Xvfb:
//   1. a dense macro (TAPEWRIGHT_TIMING_EVENTS events, default 200, every
//      TAPEWRIGHT_TIMING_SPACING_MS, default 100): median and 99th percentile of
//      |delivery - due| per event;
//   2. a long macro (TAPEWRIGHT_TIMING_SECONDS, default 20; one event a second): the error of
//      the last event against the first;
//   3. a recording of a burst of pointer motion (TAPEWRIGHT_BURST_RATE events a second,
//      default 5000, for TAPEWRIGHT_BURST_SECONDS, default 10) injected through XTEST, ended
//      with Ctrl+Pause and saved through the Save button's file dialog: the motions injected
//      against those in the saved file, and how long the save took.
// Delivery is the server's time stamp on the event as the client window got it; due is the
// recorded time, both relative to the first event. The figures are the benchmarks'
// counters; the targets are a median of at most 1 ms, a 99th percentile of at most 2 ms,
// no drift over the long macro and every motion of the burst kept.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "Desktop.h"
#include "MainWindow.h"
#include "ProgramRunner.h"
#include "Setting.h"
#include "Timing.h"
#include "platform/x11/KeySymbols.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// count events, spacing ms apart: a move, a key press, its release, a move, and again.
std::vector<MacroRecord> DenseMacro(long count, long spacing) {
    const PcKey keys[] = {pc::kA, pc::kB, pc::kC, pc::kD};
    std::vector<MacroRecord> records;
    for (long i = 0; i < count; ++i) {
        const auto time = static_cast<uint32_t>(i * spacing);
        const int x = 20 + static_cast<int>(i % 700);
        const int y = 320 + static_cast<int>(i / 4 % 300);
        const PcKey key = keys[i / 4 % 4];
        switch (i % 4) {
            case 1:
                records.push_back(KeyRecord(wm::kKeyDown, key, time));
                break;
            case 2:
                records.push_back(KeyRecord(wm::kKeyUp, key, time));
                break;
            default:
                records.push_back(MoveRecord(x, y, time));
                break;
        }
    }
    return records;
}

// A move every second for the given number of seconds.
std::vector<MacroRecord> LongMacro(long seconds) {
    std::vector<MacroRecord> records;
    for (long s = 0; s <= seconds; ++s) {
        records.push_back(MoveRecord(50 + static_cast<int>(s % 600), 400 + static_cast<int>(s % 2),
                                     static_cast<uint32_t>(s * 1000)));
    }
    return records;
}

std::optional<TimingFigures> PlayAndMeasure(Desktop& desktop, const std::string& name,
                                            const std::vector<MacroRecord>& records) {
    ProgramRunner runner(ProgramBinary(), desktop.DisplayName());
    if (!runner.Prepare()) {
        std::fprintf(stderr, "cannot copy %s\n", ProgramBinary().c_str());
        return std::nullopt;
    }
    const std::string macro = runner.File(name);
    WriteMacroFile(macro, records);
    std::size_t mark = desktop.Rest();
    if (!runner.Start({macro, "/S", "/E"})) return std::nullopt;
    const auto length = std::chrono::milliseconds(records.back().time);
    auto exit = runner.WaitForExit(length + 30s);
    desktop.Settle();
    std::vector<ClientEvent> events = desktop.EventsSince(mark);
    std::vector<ExpectedEvent> expected = ExpectedEvents(records, desktop.Input());
    if (!exit || *exit != 0) {
        std::fprintf(stderr, "%s: the program did not end by itself\n%s", name.c_str(),
                     runner.Output().c_str());
        return std::nullopt;
    }
    if (std::string difference = CompareEvents(expected, events); !difference.empty()) {
        std::fprintf(stderr, "%s: events differ: %s\n", name.c_str(), difference.c_str());
        return std::nullopt;
    }
    std::vector<uint32_t> due;
    std::vector<uint32_t> delivered;
    for (std::size_t i = 0; i < events.size(); ++i) {
        due.push_back(expected[i].event.time);
        delivered.push_back(events[i].time);
    }
    return MeasureTiming(due, delivered);
}

// ---------------------------------------------------------------------------------------
// Recording a burst of pointer motion

// The burst walks a row well below the program's window from one end to the other and back,
// so that every motion goes somewhere new.
constexpr int kPathY = 600;
constexpr int kPathLeft = 40;
constexpr int kPathRight = 1240;

struct Point {
    int x;
    int y;
};

Point PathPoint(long index) {
    const long span = kPathRight - kPathLeft;
    const long step = index % (2 * span);
    return {kPathLeft + static_cast<int>(step <= span ? step : 2 * span - step), kPathY};
}

bool OnPath(const MacroRecord& record) {
    return record.message == wm::kMouseMove && record.paramH == kPathY &&
           record.paramL >= kPathLeft && record.paramL <= kPathRight;
}

struct Injection {
    long events = 0;
    double seconds = 0;     // from the first event's deadline until the server had them all
    double worstLagMs = 0;  // the latest an event left after its deadline
    long late = 0;          // events that left more than 1 ms after their deadline
    double Rate() const { return seconds > 0 ? events / seconds : 0; }
};

struct BurstFigures {
    Injection injection;
    std::size_t moveRecords = 0;  // every WM_MOUSEMOVE in the saved file
    std::size_t onPath = 0;       // those on the burst's path
    long firstDifference = -1;    // where the path's moves differ from the injected ones
    uint32_t recordedSpanMs = 0;  // recorded time from the first path move to the last
    std::chrono::milliseconds untilDialog{0};  // Ctrl+Pause to the Save dialog shown
    int saveClicks = 0;
    std::chrono::milliseconds saveTime{0};  // Return in the dialog to the file complete
    std::uintmax_t fileBytes = 0;

    bool KeptAll() const {
        return static_cast<long>(onPath) == injection.events && firstDifference < 0;
    }
};

// Sleeps until an absolute point of steady_clock, which is CLOCK_MONOTONIC on Linux.
void SleepUntil(Clock::time_point when) {
    const auto since =
        std::chrono::duration_cast<std::chrono::nanoseconds>(when.time_since_epoch());
    timespec at{};
    at.tv_sec = static_cast<time_t>(since.count() / 1'000'000'000);
    at.tv_nsec = static_cast<long>(since.count() % 1'000'000'000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

// Moves the pointer along the path, one motion every 1/rate s by absolute deadlines, each
// sent to the server at once.
Injection InjectBurst(XInput& input, long rate, long seconds) {
    Injection injection;
    injection.events = rate * seconds;
    const auto period = std::chrono::nanoseconds(1'000'000'000 / rate);
    const auto start = Clock::now();
    Clock::duration worstLag{0};
    for (long i = 0; i < injection.events; ++i) {
        const auto due = start + i * period;
        SleepUntil(due);
        const Point point = PathPoint(i);
        input.MoveWithoutWaiting(point.x, point.y);
        const auto lag = Clock::now() - due;
        worstLag = std::max(worstLag, lag);
        if (lag > 1ms) ++injection.late;
    }
    input.WaitForServer();
    injection.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    injection.worstLagMs = std::chrono::duration<double, std::milli>(worstLag).count();
    return injection;
}

// Break, which ends a recording.
void PressCtrlPause(XInput& input) {
    input.KeyDown(XK_Control_L);
    input.Tap(XK_Pause);
    input.KeyUp(XK_Control_L);
}

// Save is disabled until the program has taken in the whole burst and ended the recording:
// clicks it until the file dialog shows.
std::optional<WindowInfo> OpenSaveDialog(Desktop& desktop, const WindowInfo& window, int& clicks) {
    for (clicks = 1; clicks <= 30; ++clicks) {
        ClickTool(desktop, window, kSaveButton);
        if (auto dialog = WaitForDialog(desktop, window.id, 2s)) return dialog;
    }
    return std::nullopt;
}

// Waits until the file holds a whole number of records and has kept its size for a moment;
// returns when, after since, it first had that size.
std::optional<std::chrono::milliseconds> WaitForCompleteFile(const std::string& path,
                                                             Clock::time_point since) {
    const auto deadline = since + 30s;
    std::uintmax_t size = 0;
    Clock::time_point sizeSeen = since;
    for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
        std::error_code error;
        const std::uintmax_t current = fs::file_size(path, error);
        if (!error && current != size) {
            size = current;
            sizeSeen = now;
        } else if (!error && size > 0 && size % 20 == 0 && now - sizeSeen >= 300ms) {
            return std::chrono::duration_cast<std::chrono::milliseconds>(sizeSeen - since);
        }
        std::this_thread::sleep_for(2ms);
    }
    return std::nullopt;
}

// Compares the saved moves on the path with the injected ones, in order.
void CountMoves(const std::vector<MacroRecord>& records, BurstFigures& figures) {
    std::vector<const MacroRecord*> path;
    for (const MacroRecord& record : records) {
        if (record.message == wm::kMouseMove) ++figures.moveRecords;
        if (OnPath(record)) path.push_back(&record);
    }
    figures.onPath = path.size();
    for (std::size_t i = 0; i < path.size() && figures.firstDifference < 0; ++i) {
        const Point want = PathPoint(static_cast<long>(i));
        if (path[i]->paramL != static_cast<uint32_t>(want.x) ||
            path[i]->paramH != static_cast<uint32_t>(want.y)) {
            figures.firstDifference = static_cast<long>(i);
        }
    }
    if (figures.firstDifference < 0 && static_cast<long>(path.size()) != figures.injection.events) {
        figures.firstDifference = static_cast<long>(path.size());
    }
    if (!path.empty()) figures.recordedSpanMs = path.back()->time - path.front()->time;
}

void Complain(ProgramRunner& runner, const char* what) {
    std::fprintf(stderr, "burst: %s\n%s", what, runner.Output().c_str());
}

// Ctrl+Pause, then Save through the dialog; fills in the save's figures.
bool EndAndSave(Desktop& desktop, ProgramRunner& runner, const WindowInfo& window,
                const std::string& path, BurstFigures& figures) {
    PressCtrlPause(desktop.Input());
    const auto ended = Clock::now();
    auto dialog = OpenSaveDialog(desktop, window, figures.saveClicks);
    if (!dialog) {
        Complain(runner, "Save opened no file dialog");
        return false;
    }
    figures.untilDialog =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - ended);
    TypeIntoFileChooser(desktop, *dialog, path);
    auto saveTime = WaitForCompleteFile(path, Clock::now());
    if (!saveTime) {
        Complain(runner, "Save wrote no whole file");
        return false;
    }
    figures.saveTime = *saveTime;
    figures.fileBytes = fs::file_size(path);
    return true;
}

// Starts the program and waits for its main window.
std::optional<WindowInfo> StartProgram(Desktop& desktop, ProgramRunner& runner) {
    if (!runner.Prepare() || !runner.Start({})) {
        std::fprintf(stderr, "burst: cannot start %s\n", ProgramBinary().c_str());
        return std::nullopt;
    }
    auto window = WaitForMainWindow(desktop);
    if (!window) Complain(runner, "no main window");
    return window;
}

// Records a burst of rate motions a second for the given seconds on a desktop of its own
// (no client window to fight the file dialog for the focus) and saves it.
std::optional<BurstFigures> RecordBurst(long rate, long seconds) {
    Desktop desktop;
    if (!desktop.Start(false)) {
        std::fprintf(stderr, "burst: %s\n", desktop.Error().c_str());
        return std::nullopt;
    }
    ProgramRunner runner(ProgramBinary(), desktop.DisplayName());
    auto window = StartProgram(desktop, runner);
    if (!window) return std::nullopt;

    BurstFigures figures;
    const Image idleStop = StopButtonLook(desktop, *window);
    ClickTool(desktop, *window, kRecordButton);
    if (!WaitForRecording(desktop, *window, idleStop, true)) {
        Complain(runner, "the recording did not start");
        return std::nullopt;
    }
    figures.injection = InjectBurst(desktop.Input(), rate, seconds);
    const std::string path = runner.File("burst.mcr");
    if (!EndAndSave(desktop, runner, *window, path, figures)) return std::nullopt;
    auto records = ReadMacroFile(path);
    if (!records) {
        Complain(runner, "the saved file is not a whole number of records");
        return std::nullopt;
    }
    CountMoves(*records, figures);
    desktop.Session().RequestClose(window->id);
    runner.WaitForExit(10s);
    return figures;
}

bool StartDesktop(benchmark::State& state, Desktop& desktop) {
    if (!std::filesystem::exists(ProgramBinary())) {
        state.SkipWithError(("no program at " + ProgramBinary()).c_str());
        return false;
    }
    if (!desktop.Start()) {
        state.SkipWithError(desktop.Error().c_str());
        return false;
    }
    return true;
}

void ReportTiming(benchmark::State& state, const TimingFigures& figures) {
    state.counters["median_ms"] = figures.median;
    state.counters["p99_ms"] = figures.p99;
    state.counters["worst_ms"] = figures.worst;
    state.counters["first_to_last_ms"] = static_cast<double>(figures.drift);
    state.counters["earliest_ms"] = static_cast<double>(figures.earliest);
    state.SetLabel(figures.Summary());
}

// A dense macro: TAPEWRIGHT_TIMING_EVENTS events (200), TAPEWRIGHT_TIMING_SPACING_MS apart
// (100 ms).
void BM_PlaybackTiming(benchmark::State& state) {
    Desktop desktop;
    if (!StartDesktop(state, desktop)) return;
    const long count = Setting("TAPEWRIGHT_TIMING_EVENTS", 200);
    const long spacing = Setting("TAPEWRIGHT_TIMING_SPACING_MS", 100);
    for (auto _ : state) {
        auto figures = PlayAndMeasure(desktop, "dense.mcr", DenseMacro(count, spacing));
        if (!figures) return state.SkipWithError("the playback did not run");
        ReportTiming(state, *figures);
    }
}
BENCHMARK(BM_PlaybackTiming)->Iterations(1)->Unit(benchmark::kSecond);

// A long macro: one event a second for TAPEWRIGHT_TIMING_SECONDS (20; 300 for five minutes).
void BM_PlaybackDrift(benchmark::State& state) {
    Desktop desktop;
    if (!StartDesktop(state, desktop)) return;
    const long seconds = Setting("TAPEWRIGHT_TIMING_SECONDS", 20);
    for (auto _ : state) {
        auto figures = PlayAndMeasure(desktop, "long.mcr", LongMacro(seconds));
        if (!figures) return state.SkipWithError("the playback did not run");
        ReportTiming(state, *figures);
    }
}
BENCHMARK(BM_PlaybackDrift)->Iterations(1)->Unit(benchmark::kSecond);

// TAPEWRIGHT_BURST_RATE motions a second (5000) for TAPEWRIGHT_BURST_SECONDS (10).
void BM_RecordingBurst(benchmark::State& state) {
    const long rate = Setting("TAPEWRIGHT_BURST_RATE", 5000);
    const long seconds = Setting("TAPEWRIGHT_BURST_SECONDS", 10);
    for (auto _ : state) {
        auto figures = RecordBurst(rate, seconds);
        if (!figures) return state.SkipWithError("the recording did not run");
        const Injection& injection = figures->injection;
        state.counters["injected"] = static_cast<double>(injection.events);
        state.counters["injected_per_s"] = injection.Rate();
        state.counters["injected_late"] = static_cast<double>(injection.late);
        state.counters["injection_worst_lag_ms"] = injection.worstLagMs;
        state.counters["saved_moves"] = static_cast<double>(figures->moveRecords);
        state.counters["saved_on_path"] = static_cast<double>(figures->onPath);
        state.counters["first_difference"] = static_cast<double>(figures->firstDifference);
        state.counters["recorded_span_ms"] = figures->recordedSpanMs;
        state.counters["until_dialog_ms"] = static_cast<double>(figures->untilDialog.count());
        state.counters["save_clicks"] = figures->saveClicks;
        state.counters["save_ms"] = static_cast<double>(figures->saveTime.count());
        state.counters["file_bytes"] = static_cast<double>(figures->fileBytes);
        // A burst slower than asked for tests a lighter load: what was kept says nothing then.
        if (injection.Rate() < 0.9 * static_cast<double>(rate)) {
            const std::string why = "the injector reached only " +
                                    std::to_string(static_cast<long>(injection.Rate())) +
                                    " events/s of " + std::to_string(rate);
            return state.SkipWithError(why.c_str());
        }
        state.counters["kept_all"] = figures->KeptAll() ? 1 : 0;
    }
}
BENCHMARK(BM_RecordingBurst)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

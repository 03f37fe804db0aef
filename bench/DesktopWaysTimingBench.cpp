// Playback timing through KWin's fake input and Mutter's remote desktop, each on a private
// headless compositor, beside the X11 figures of DesktopTimingBench:
//   1. a dense macro played by the program (TAPEWRIGHT_TIMING_EVENTS events, default 200,
//      every TAPEWRIGHT_TIMING_SPACING_MS, default 100; moves and key presses and releases)
//      to the probe window on the second output, relative to the first event: |event time
//      - due|, the event time being the one the compositor gave it, and |arrival - due|, the
//      arrival being the probe's CLOCK_MONOTONIC as it got the event;
//   2. the cost of one call as the journal makes it, MoveTo + Flush and Key + Flush
//      (TAPEWRIGHT_CALLS each, default 2000, a millisecond apart): for KWin a protocol
//      request, for Mutter a D-Bus message sent without waiting for its reply. A child
//      process makes them as the compositor's user: KWin admits a program by its
//      executable, and the session bus its own user only.
#include <benchmark/benchmark.h>
#include <grp.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "Desktop.h"
#include "KwinCompositor.h"
#include "MutterCompositor.h"
#include "Setting.h"
#include "Timing.h"
#include "WaylandPlayback.h"
#include "XvfbServer.h"
#include "platform/wayland/InputWays.h"

namespace {

using namespace std::chrono_literals;

// One compositor, the Xvfb that the program's hidden window needs, and the probe.
struct Session {
    explicit Session(bool kwin) : kwin(kwin) {}

    bool kwin;
    XvfbServer xvfb;
    KwinCompositor kwinCompositor;
    MutterCompositor mutterCompositor;
    ProbeClient probe;

    WaylandCompositor& Compositor() {
        return kwin ? static_cast<WaylandCompositor&>(kwinCompositor) : mutterCompositor;
    }
    Environment ProgramEnvironment() {
        return kwin ? kwinCompositor.ClientEnvironment() : mutterCompositor.ProgramEnvironment();
    }
    const char* Way() const { return kwin ? "kwin" : "mutter"; }
};

// Starts the session; admitted: the program KWin is to admit.
bool StartSession(benchmark::State& state, Session& session, const std::string& admitted,
                  bool probe) {
    if (!session.xvfb.Start()) {
        state.SkipWithError(("Xvfb: " + session.xvfb.Error()).c_str());
        return false;
    }
    session.kwinCompositor.Admit(admitted);
    if (!session.Compositor().Start()) {
        state.SkipWithError(("compositor: " + session.Compositor().Error()).c_str());
        return false;
    }
    const char* output = session.kwin ? "Virtual-1" : "Meta-1";
    auto ready = [](const std::string& line) { return line.rfind("ready", 0) == 0; };
    if (probe && (!session.probe.Start(session.Compositor(), output, true) ||
                  !session.probe.WaitFor(ready, 20s))) {
        state.SkipWithError("the probe window did not come up");
        return false;
    }
    return true;
}

void PlaybackTiming(benchmark::State& state, bool kwin) {
    if (!std::filesystem::exists(ProgramBinary())) return state.SkipWithError("no program");
    Session session(kwin);
    ProgramRunner runner(ProgramBinary(), "");
    if (!runner.Prepare()) return state.SkipWithError("cannot copy the program");
    if (!StartSession(state, session, runner.ProgramPath(), true)) return;
    WaylandCompositor& compositor = session.Compositor();
    if (!compositor.GiveToUser(runner.Directory())) return state.SkipWithError("chown failed");
    runner.SetLauncher(compositor.AsUser());
    runner.SetEnvironment("DISPLAY", session.xvfb.DisplayName());
    runner.SetEnvironment("HOME", runner.Directory());
    for (const auto& [name, value] : session.ProgramEnvironment()) {
        runner.SetEnvironment(name, value);
    }
    runner.SetEnvironment("TAPEWRIGHT_JOURNAL", "wayland");
    runner.SetEnvironment("TAPEWRIGHT_INPUT_WAY", session.Way());
    // Both second outputs lie at (1280, 0). A move half a second ahead is not measured: on
    // KWin the first event after the way opened reached the window some 60 ms off schedule,
    // and Mutter grows a new window into place for 250 ms, so an entry then lands a few
    // pixels off.
    std::vector<Step> steps =
        DenseSteps(Setting("TAPEWRIGHT_TIMING_EVENTS", 200),
                   Setting("TAPEWRIGHT_TIMING_SPACING_MS", 100), KwinCompositor::kWidth, 0);
    for (Step& step : steps) step.record.time += 500;
    steps.insert(steps.begin(), Step{MoveRecord(KwinCompositor::kWidth + 5, 5, 0), ""});
    for (auto _ : state) {
        auto arrivals = PlaySteps(runner, session.probe, steps);
        if (!arrivals) return state.SkipWithError("the playback did not reach the probe");
        ReportArrivals(state, {steps.begin() + 1, steps.end()},
                       {arrivals->begin() + 1, arrivals->end()});
    }
}

void BM_KwinPlaybackTiming(benchmark::State& state) {
    PlaybackTiming(state, true);
}
BENCHMARK(BM_KwinPlaybackTiming)->Iterations(1)->Unit(benchmark::kSecond);

void BM_MutterPlaybackTiming(benchmark::State& state) {
    PlaybackTiming(state, false);
}
BENCHMARK(BM_MutterPlaybackTiming)->Iterations(1)->Unit(benchmark::kSecond);

// In a child process as the compositor's user: opens the way and times count moves, then
// count keys; the microseconds come back through a pipe. Empty on failure.
std::vector<double> TimeCallsAsUser(Session& session, long count) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        WaylandCompositor& compositor = session.Compositor();
        if (setgroups(0, nullptr) != 0 || setgid(compositor.GroupId()) != 0 ||
            setuid(compositor.UserId()) != 0) {
            _exit(1);
        }
        prctl(PR_SET_DUMPABLE, 1);  // KWin reads this process's executable in /proc
        for (const auto& [name, value] : session.ProgramEnvironment()) {
            setenv(name.c_str(), value.c_str(), 1);
        }
        std::string refusal;
        std::unique_ptr<InputWay> way =
            session.kwin ? OpenKwinWay(refusal) : OpenMutterWay(refusal);
        if (!way) {
            std::fprintf(stderr, "%s\n", refusal.c_str());
            _exit(1);
        }
        std::vector<double> micros = TimeCalls(count, [&way](long step) {
            way->MoveTo(static_cast<int32_t>(100 + step % 1000),
                        static_cast<int32_t>(100 + step % 500));
            way->Flush();
        });
        const std::vector<double> keys = TimeCalls(count, [&way](long step) {
            way->Key(30, step % 2 == 0);  // a, pressed and released in turn
            way->Flush();
        });
        micros.insert(micros.end(), keys.begin(), keys.end());
        const auto bytes = static_cast<ssize_t>(micros.size() * sizeof(double));
        _exit(write(pipeFds[1], micros.data(), static_cast<std::size_t>(bytes)) == bytes ? 0 : 1);
    }
    close(pipeFds[1]);
    std::vector<double> micros(static_cast<std::size_t>(2 * count));
    const auto bytes = static_cast<ssize_t>(micros.size() * sizeof(double));
    ssize_t got = 0;
    for (ssize_t n = 1; got < bytes && n > 0; got += n) {
        n = read(pipeFds[0], reinterpret_cast<char*>(micros.data()) + got,
                 static_cast<std::size_t>(bytes - got));
        if (n <= 0) break;
    }
    close(pipeFds[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || status != 0 || got != bytes) return {};
    return micros;
}

void CallCost(benchmark::State& state, bool kwin) {
    Session session(kwin);
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return state.SkipWithError("no /proc/self/exe");
    if (!StartSession(state, session, std::string(self, static_cast<std::size_t>(length)), false)) {
        return;
    }
    const long count = Setting("TAPEWRIGHT_CALLS", 2000);
    for (auto _ : state) {
        std::vector<double> micros = TimeCallsAsUser(session, count);
        if (micros.empty()) return state.SkipWithError("the way did not open in the child");
        const std::vector<double> moves(micros.begin(), micros.begin() + count);
        const std::vector<double> keys(micros.begin() + count, micros.end());
        state.counters["move_median_us"] = Percentile(moves, 0.5);
        state.counters["move_p99_us"] = Percentile(moves, 0.99);
        state.counters["key_median_us"] = Percentile(keys, 0.5);
        state.counters["key_p99_us"] = Percentile(keys, 0.99);
    }
}

void BM_KwinCallCost(benchmark::State& state) {
    CallCost(state, true);
}
BENCHMARK(BM_KwinCallCost)->Iterations(1)->Unit(benchmark::kSecond);

void BM_MutterCallCost(benchmark::State& state) {
    CallCost(state, false);
}
BENCHMARK(BM_MutterCallCost)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

// Start-up of the desktop program: from exec to its main window being viewable, and its
// resident memory once it is up; and an unattended run of a short macro from exec to exit. It runs
// on a private Xvfb server, each run from a fresh directory so that no settings file moves the
// window.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "MacroFiles.h"
#include "ProgramRunner.h"
#include "XSession.h"
#include "XvfbServer.h"

namespace {

using Clock = std::chrono::steady_clock;

long ResidentKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return 0;
}

bool WaitForMainWindow(XSession& session, Clock::time_point deadline) {
    while (Clock::now() < deadline) {
        if (session.FindWindow(ProgramRunner::IsMainWindow)) return true;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return false;
}

void BM_StartUpToWindowShown(benchmark::State& state) {
    XvfbServer server;
    if (!server.Start()) {
        state.SkipWithError(("no Xvfb: " + server.Error()).c_str());
        return;
    }
    XSession session(server.DisplayName());
    long resident = 0;
    for (auto _ : state) {
        ProgramRunner runner(TAPEWRIGHT_BINARY, server.DisplayName());
        if (!runner.Prepare()) {
            state.SkipWithError("cannot copy the program");
            return;
        }
        auto start = Clock::now();
        if (!runner.Start({}) || !WaitForMainWindow(session, start + std::chrono::seconds(10))) {
            state.SkipWithError("the window did not appear");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        resident = ResidentKilobytes(runner.Pid());
        runner.Kill();
        if (resident == 0) return state.SkipWithError("no resident memory figure");
        while (session.FindWindow(ProgramRunner::IsMainWindow)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    state.counters["resident_MB"] = static_cast<double>(resident) / 1024.0;
}
BENCHMARK(BM_StartUpToWindowShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// `x.mcr /S /E /D`: start hidden, play two records due at once, store the window position
// and exit. Target: at most 60 ms.
void BM_UnattendedRunExecToExit(benchmark::State& state) {
    XvfbServer server;
    if (!server.Start()) {
        state.SkipWithError(("no Xvfb: " + server.Error()).c_str());
        return;
    }
    for (auto _ : state) {
        ProgramRunner runner(TAPEWRIGHT_BINARY, server.DisplayName());
        const std::string macro = runner.File("x.mcr");
        if (!runner.Prepare() ||
            !WriteMacroFile(macro, {MoveRecord(10, 10, 0), MoveRecord(20, 20, 0)})) {
            state.SkipWithError("cannot prepare the run");
            return;
        }
        auto start = Clock::now();
        if (!runner.Start({macro, "/S", "/E", "/D"}) ||
            runner.WaitForExit(std::chrono::seconds(10)) != 0) {
            state.SkipWithError("the run did not end by itself with status 0");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}
BENCHMARK(BM_UnattendedRunExecToExit)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

}  // namespace

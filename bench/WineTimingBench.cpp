// The Windows program's playback timing under Wine, measured at a Win32 window by
// tapewright_timing (bench/win32) on a private Xvfb screen: 64-bit Wine runs natively here,
// the 32-bit program through whatever runs 32-bit code (an emulator on kernels without it),
// so only the 64-bit figures are the pump's own. Needs the Windows builds
// (tools/test-windows.sh); TAPEWRIGHT_WINDOWS_BUILDS names their parent folder (build/).
// TAPEWRIGHT_TIMING_EVENTS (200) and TAPEWRIGHT_TIMING_SPACING_MS (100) shape the dense
// macro; TAPEWRIGHT_TIMING_SECONDS (300) the long one, one move a second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "Setting.h"

namespace {

std::string BuildsFolder() {
    const char* value = std::getenv("TAPEWRIGHT_WINDOWS_BUILDS");
    return value != nullptr && *value != '\0' ? value : TAPEWRIGHT_SOURCE_DIR "/build";
}

// Runs tapewright_timing of the build for state.range(0) bits with the middle arguments; the
// path of the line it wrote, or "" after reporting why there is none.
std::string RunUnderWine(benchmark::State& state, const std::string& arguments) {
    const int bits = static_cast<int>(state.range(0));
    const std::string build = BuildsFolder() + (bits == 64 ? "/win64" : "/win32");
    const std::string timing = build + "/bench/win32/tapewright_timing.exe";
    const std::string program = build + "/TAPEWRT.exe";
    if (!std::filesystem::exists(timing) || !std::filesystem::exists(program)) {
        state.SkipWithError(
            ("no Windows build in " + build + ": run tools/test-windows.sh").c_str());
        return "";
    }
    const std::string output =
        std::filesystem::temp_directory_path() / "tapewright-wine-timing.txt";
    std::filesystem::remove(output);
    const std::string command = std::string(TAPEWRIGHT_SOURCE_DIR "/tools/wine-run.sh ") + build +
                                "/wine " + std::to_string(bits) + " --display " + timing +
                                " Z:" + program + " " + arguments + " Z:" + output +
                                " >/dev/null 2>&1";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("Wine did not run");
            return "";
        }
    }
    return output;
}

// Fails the benchmark with the line the measuring program wrote instead of its figures.
void SkipWithLine(benchmark::State& state, const std::string& output) {
    std::string line;
    std::getline(std::ifstream(output), line);
    state.SkipWithError(("no figures: " + line).c_str());
}

void MeasureUnderWine(benchmark::State& state, long count, long spacing) {
    const std::string output =
        RunUnderWine(state, std::to_string(count) + " " + std::to_string(spacing));
    if (output.empty()) return;
    std::ifstream file(output);
    double median = 0;
    double p99 = 0;
    double worst = 0;
    double drift = 0;
    std::string summary;
    if (!(file >> median >> p99 >> worst >> drift)) return SkipWithLine(state, output);
    std::getline(file >> std::ws, summary);
    state.counters["median_ms"] = median;
    state.counters["p99_ms"] = p99;
    state.counters["worst_ms"] = worst;
    state.counters["first_to_last_ms"] = drift;
    state.SetLabel(summary);
}

void BM_WinePlaybackTiming(benchmark::State& state) {
    MeasureUnderWine(state, Setting("TAPEWRIGHT_TIMING_EVENTS", 200),
                     Setting("TAPEWRIGHT_TIMING_SPACING_MS", 100));
}
BENCHMARK(BM_WinePlaybackTiming)->Arg(64)->Arg(32)->Iterations(1)->Unit(benchmark::kSecond);

void BM_WinePlaybackDrift(benchmark::State& state) {
    MeasureUnderWine(state, Setting("TAPEWRIGHT_TIMING_SECONDS", 300), 1000);
}
BENCHMARK(BM_WinePlaybackDrift)->Arg(64)->Iterations(1)->Unit(benchmark::kSecond);

// The player's own part of the timing under Wine, apart from the way input travels to
// another program: how late the loop's timer calls begin, and how long SendInput takes to
// hand a move over, for the dense macro's schedule.
void BM_WineHandOver(benchmark::State& state) {
    const std::string output =
        RunUnderWine(state, "handover " + std::to_string(Setting("TAPEWRIGHT_TIMING_EVENTS", 200)) +
                                " " + std::to_string(Setting("TAPEWRIGHT_TIMING_SPACING_MS", 100)));
    if (output.empty()) return;
    std::ifstream file(output);
    double figures[6] = {};
    for (double& figure : figures) {
        if (!(file >> figure)) return SkipWithLine(state, output);
    }
    const char* names[6] = {"wake_median_ms", "wake_p99_ms", "wake_worst_ms",
                            "send_median_ms", "send_p99_ms", "send_worst_ms"};
    for (int i = 0; i < 6; ++i) state.counters[names[i]] = figures[i];
}
BENCHMARK(BM_WineHandOver)->Arg(64)->Arg(32)->Iterations(1)->Unit(benchmark::kSecond);

// Start to main window shown (median of TAPEWRIGHT_START_UP_RUNS, 10) and the working set.
void BM_WineStartUpToWindowShown(benchmark::State& state) {
    const std::string output =
        RunUnderWine(state, "startup " + std::to_string(Setting("TAPEWRIGHT_START_UP_RUNS", 10)));
    if (output.empty()) return;
    std::ifstream file(output);
    double milliseconds = 0;
    double megabytes = 0;
    if (!(file >> milliseconds >> megabytes)) return SkipWithLine(state, output);
    state.counters["start_up_ms"] = milliseconds;
    state.counters["working_set_MB"] = megabytes;
}
BENCHMARK(BM_WineStartUpToWindowShown)->Arg(64)->Arg(32)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

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

namespace {

long Setting(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::atol(value) : fallback;
}

std::string BuildsFolder() {
    const char* value = std::getenv("TAPEWRIGHT_WINDOWS_BUILDS");
    return value != nullptr && *value != '\0' ? value : TAPEWRIGHT_SOURCE_DIR "/build";
}

void MeasureUnderWine(benchmark::State& state, long count, long spacing) {
    const int bits = static_cast<int>(state.range(0));
    const std::string build = BuildsFolder() + (bits == 64 ? "/win64" : "/win32");
    const std::string timing = build + "/bench/win32/tapewright_timing.exe";
    const std::string program = build + "/TAPEWRT.exe";
    if (!std::filesystem::exists(timing) || !std::filesystem::exists(program)) {
        state.SkipWithError(
            ("no Windows build in " + build + ": run tools/test-windows.sh").c_str());
        return;
    }
    const std::string output =
        std::filesystem::temp_directory_path() / "tapewright-wine-timing.txt";
    std::filesystem::remove(output);
    const std::string command = std::string(TAPEWRIGHT_SOURCE_DIR "/tools/wine-run.sh ") + build +
                                "/wine " + std::to_string(bits) + " --display " + timing +
                                " Z:" + program + " " + std::to_string(count) + " " +
                                std::to_string(spacing) + " Z:" + output + " >/dev/null 2>&1";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) return state.SkipWithError("Wine did not run");
    }
    std::ifstream file(output);
    double median = 0;
    double p99 = 0;
    double worst = 0;
    double drift = 0;
    std::string summary;
    if (!(file >> median >> p99 >> worst >> drift)) {
        std::getline(std::ifstream(output), summary);
        return state.SkipWithError(("no figures: " + summary).c_str());
    }
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

}  // namespace

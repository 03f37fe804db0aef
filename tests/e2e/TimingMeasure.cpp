// Measures how closely tapewright keeps to a macro's schedule when it plays at 100 %, and
// prints the figures:
//   1. a dense macro (TAPEWRIGHT_TIMING_EVENTS events, default 200, every
//      TAPEWRIGHT_TIMING_SPACING_MS, default 100): median and 99th percentile of
//      |delivery - due| per event;
//   2. a long macro (TAPEWRIGHT_TIMING_SECONDS, default 20; one event a second): the error of
//      the last event against the first.
// Delivery is the server's time stamp on the event as the client window got it; due is the
// recorded time, both relative to the first event. With TAPEWRIGHT_TIMING_STRICT=1 the exit
// code is 1 when the median exceeds 1 ms, the 99th percentile 2 ms or the long run's error
// 2 ms; otherwise it is 1 only when a run fails.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "Desktop.h"
#include "ProgramRunner.h"
#include "Timing.h"

namespace {

using namespace std::chrono_literals;

long Setting(const char* name, long fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == 0) return fallback;
    long value = std::strtol(text, nullptr, 10);
    return value > 0 ? value : fallback;
}

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

}  // namespace

int main() {
    const long count = Setting("TAPEWRIGHT_TIMING_EVENTS", 200);
    const long spacing = Setting("TAPEWRIGHT_TIMING_SPACING_MS", 100);
    const long seconds = Setting("TAPEWRIGHT_TIMING_SECONDS", 20);
    const bool strict = Setting("TAPEWRIGHT_TIMING_STRICT", 0) == 1;

    if (!std::filesystem::exists(ProgramBinary())) {
        std::fprintf(stderr, "no program at %s\n", ProgramBinary().c_str());
        return 1;
    }
    Desktop desktop;
    if (!desktop.Start()) {
        std::fprintf(stderr, "%s\n", desktop.Error().c_str());
        return 1;
    }

    std::printf("dense macro: %ld events, %ld ms apart, 100 %%\n", count, spacing);
    std::fflush(stdout);
    auto dense = PlayAndMeasure(desktop, "dense.mcr", DenseMacro(count, spacing));
    if (!dense) return 1;
    std::printf("  %s\n", dense->Summary().c_str());
    std::printf("  |delivery-due| histogram: %s\n", dense->Histogram().c_str());
    std::printf("  median_ms=%.1f p99_ms=%.1f\n", dense->median, dense->p99);

    std::printf("long macro: %ld s, one event a second, 100 %%\n", seconds);
    std::fflush(stdout);
    auto longRun = PlayAndMeasure(desktop, "long.mcr", LongMacro(seconds));
    if (!longRun) return 1;
    std::printf("  %s\n", longRun->Summary().c_str());
    std::printf("  first_to_last_error_ms=%+lld\n", static_cast<long long>(longRun->drift));

    bool met = dense->median <= 1.0 && dense->p99 <= 2.0 && std::llabs(longRun->drift) <= 2;
    std::printf("strict target (median <= 1 ms, p99 <= 2 ms, long-run error <= 2 ms): %s\n",
                met ? "met" : "NOT met");
    return strict && !met ? 1 : 0;
}

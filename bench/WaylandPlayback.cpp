#include "WaylandPlayback.h"

#include <cstdio>
#include <cstdlib>

#include "Timing.h"

std::vector<Step> DenseSteps(long count, long spacing, int left, int top) {
    const PcKey keys[] = {pc::kA, pc::kB, pc::kC, pc::kD};
    const int evdev[] = {30, 48, 46, 32};  // the same keys' kernel codes
    std::vector<Step> steps;
    for (long i = 0; i < count; ++i) {
        const auto time = static_cast<uint32_t>(i * spacing);
        const int x = 20 + static_cast<int>(i % 700);
        const int y = 100 + static_cast<int>(i / 4 % 300);
        const int key = static_cast<int>(i / 4 % 4);
        const std::string code = std::to_string(evdev[key]);
        switch (i % 4) {
            case 1:
                steps.push_back({KeyRecord(wm::kKeyDown, keys[key], time), "key " + code + " 1"});
                break;
            case 2:
                steps.push_back({KeyRecord(wm::kKeyUp, keys[key], time), "key " + code + " 0"});
                break;
            default:
                steps.push_back({MoveRecord(left + x, top + y, time),
                                 std::to_string(x) + " " + std::to_string(y)});
                break;
        }
    }
    return steps;
}

namespace {

// A move's line is "motion X Y" or, the first time, "enter X Y"; a move with no line
// expected takes any entry.
bool Matches(const Step& step, const std::string& line) {
    const std::string text = line.substr(0, line.rfind(" @"));
    if (step.line.empty()) return text.rfind("enter ", 0) == 0;
    if (step.record.message == wm::kMouseMove) {
        return text == "motion " + step.line || text == "enter " + step.line;
    }
    return text == step.line;
}

// " @<arrival microseconds> <event time ms>" at the line's end.
Arrival ReadStamp(const std::string& line) {
    char* end = nullptr;
    Arrival arrival;
    arrival.micros = std::strtoll(line.c_str() + line.rfind(" @") + 2, &end, 10);
    arrival.eventMs = static_cast<uint32_t>(std::strtoul(end, nullptr, 10));
    // A pointer entry has no time of its own.
    if (arrival.eventMs == 0) arrival.eventMs = static_cast<uint32_t>(arrival.micros / 1000);
    return arrival;
}

}  // namespace

std::optional<std::vector<Arrival>> PlaySteps(ProgramRunner& runner, ProbeClient& probe,
                                              const std::vector<Step>& steps) {
    std::vector<MacroRecord> records;
    for (const Step& step : steps) records.push_back(step.record);
    const std::string macro = runner.File("dense.mcr");
    if (!WriteMacroFile(macro, records) || !runner.Start({macro, "/S", "/E", "/D"})) {
        return std::nullopt;
    }
    std::vector<Arrival> arrivals;
    for (const Step& step : steps) {
        auto line = probe.WaitFor([&step](const std::string& got) { return Matches(step, got); },
                                  std::chrono::seconds(30));
        if (!line) {
            std::fprintf(stderr, "no \"%s\" from the probe\n%s%s", step.line.c_str(),
                         probe.Transcript().c_str(), runner.Output().c_str());
            return std::nullopt;
        }
        arrivals.push_back(ReadStamp(*line));
    }
    if (runner.WaitForExit(std::chrono::seconds(30)) != 0) return std::nullopt;
    return arrivals;
}

void ReportArrivals(benchmark::State& state, const std::vector<Step>& steps,
                    const std::vector<Arrival>& arrivals) {
    std::vector<uint32_t> due;
    std::vector<uint32_t> stamped;
    std::vector<uint32_t> arrivedMs;
    std::vector<double> errorsMs;
    std::vector<double> lateMs;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Arrival& arrival = arrivals[i];
        due.push_back(steps[i].record.time);
        stamped.push_back(arrival.eventMs);
        arrivedMs.push_back(static_cast<uint32_t>(arrival.micros / 1000));
        const double late = static_cast<double>(arrival.micros - arrivals[0].micros) / 1000.0 -
                            static_cast<double>(steps[i].record.time - steps[0].record.time);
        errorsMs.push_back(late < 0 ? -late : late);
        lateMs.push_back(late);
    }
    const TimingFigures figures = MeasureTiming(due, stamped);
    const TimingFigures arrived = MeasureTiming(due, arrivedMs);
    state.counters["median_ms"] = figures.median;
    state.counters["p99_ms"] = figures.p99;
    state.counters["worst_ms"] = figures.worst;
    state.counters["arrival_median_ms"] = arrived.median;
    state.counters["arrival_p99_ms"] = arrived.p99;
    state.counters["arrival_median_exact_ms"] = Percentile(errorsMs, 0.5);
    state.counters["arrival_p99_exact_ms"] = Percentile(errorsMs, 0.99);
    // The same against the usual lateness rather than the first event's, which a single
    // delayed first event would move for all.
    const double usual = Percentile(lateMs, 0.5);
    std::vector<double> spread;
    for (double late : lateMs) spread.push_back(late < usual ? usual - late : late - usual);
    state.counters["arrival_spread_median_ms"] = Percentile(spread, 0.5);
    state.counters["arrival_spread_p99_ms"] = Percentile(spread, 0.99);
    state.counters["arrival_worst_ms"] = arrived.worst;
    state.SetLabel(figures.Summary());
}

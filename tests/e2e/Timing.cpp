#include "Timing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

uint32_t ScaledTime(uint32_t recorded, uint32_t percent) {
    return recorded / 100 * percent;
}

TimingFigures MeasureTiming(const std::vector<uint32_t>& due,
                            const std::vector<uint32_t>& delivered) {
    TimingFigures figures;
    figures.events = std::min(due.size(), delivered.size());
    if (figures.events == 0) return figures;
    std::vector<double> errors;
    for (std::size_t i = 0; i < figures.events; ++i) {
        // Unsigned differences first: server time stamps wrap like any 32-bit tick count.
        int64_t dueOffset = static_cast<int32_t>(due[i] - due[0]);
        int64_t deliveredOffset = static_cast<int32_t>(delivered[i] - delivered[0]);
        int64_t error = deliveredOffset - dueOffset;
        errors.push_back(static_cast<double>(error < 0 ? -error : error));
        figures.errors.push_back(error);
        figures.earliest = std::min(figures.earliest, error);
        if (i + 1 == figures.events) figures.drift = error;
    }
    figures.median = Percentile(errors, 0.5);
    figures.p99 = Percentile(errors, 0.99);
    figures.worst = *std::max_element(errors.begin(), errors.end());
    return figures;
}

std::string TimingFigures::Summary() const {
    char text[200];
    std::snprintf(text, sizeof text,
                  "%zu events: median |delivery-due| %.1f ms, p99 %.1f ms, worst %.1f ms, "
                  "first-to-last error %+lld ms, earliest %+lld ms",
                  events, median, p99, worst, static_cast<long long>(drift),
                  static_cast<long long>(earliest));
    return text;
}

std::string TimingFigures::Histogram() const {
    std::vector<std::size_t> counts;
    for (int64_t error : errors) {
        auto size = static_cast<std::size_t>(error < 0 ? -error : error);
        if (counts.size() <= size) counts.resize(size + 1);
        ++counts[size];
    }
    std::string text;
    for (std::size_t ms = 0; ms < counts.size(); ++ms) {
        if (counts[ms] == 0) continue;
        text +=
            (text.empty() ? "" : ", ") + std::to_string(ms) + " ms: " + std::to_string(counts[ms]);
    }
    return text;
}

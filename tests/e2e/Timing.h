#pragma once
// How closely a playback kept to its schedule. Each played event has a due time (its
// recorded time scaled by the speed) and a delivery time (the server's time stamp on the
// event as a client received it). Both are taken relative to the first event, so the figures
// measure the spacing the player kept, not its start-up delay.
#include <cstdint>
#include <string>
#include <vector>

struct TimingFigures {
    std::size_t events = 0;
    double median = 0;  // of |delivery - due|, milliseconds
    double p99 = 0;     // 99th percentile (nearest rank) of the same
    double worst = 0;
    int64_t drift = 0;     // (last - first delivery) - (last - first due): error over the run
    int64_t earliest = 0;  // most negative delivery - due (an event played too soon)
    std::vector<int64_t> errors;  // delivery - due of each event, milliseconds

    // "|error| ms: count" for 0, 1, 2, ... up to the worst.
    std::string Histogram() const;

    std::string Summary() const;
};

// due and delivered have one entry per event, in playing order.
TimingFigures MeasureTiming(const std::vector<uint32_t>& due,
                            const std::vector<uint32_t>& delivered);

// Nearest-rank percentile (0 < fraction <= 1) of values; 0 for no values.
double Percentile(std::vector<double> values, double fraction);

// The time a record is due at a speed: (recorded time div 100) * percent, as the player
// computes it.
uint32_t ScaledTime(uint32_t recorded, uint32_t percent);

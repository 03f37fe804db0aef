#pragma once
// The probe window (WaylandProbe.cpp) run on a compositor, and the lines it prints: started
// fullscreen on one output, read as they come, waited for one by one in order.
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "WaylandCompositor.h"

class ProbeClient {
  public:
    // output: the xdg-output name to go fullscreen on; empty: where the compositor puts it.
    // stamps: each line ends in " @<arrival microseconds> <event time ms>" (CLOCK_MONOTONIC).
    bool Start(const WaylandCompositor& compositor, const std::string& output, bool stamps = false);
    void Stop() { process_.Stop(); }

    // The first line after the last one waited for that match accepts; it becomes the last
    // one waited for. Nothing when the timeout passes or the probe ends first.
    std::optional<std::string> WaitFor(const std::function<bool(const std::string&)>& accepts,
                                       std::chrono::milliseconds timeout);
    bool WaitForLine(const std::string& line, std::chrono::milliseconds timeout);

    // Every line so far, for a failing test's message.
    const std::vector<std::string>& Lines() const { return lines_; }
    std::string Transcript() const;

  private:
    bool ReadMore(std::chrono::milliseconds timeout);

    ChildProcess process_;
    std::string pending_;
    std::vector<std::string> lines_;
    std::size_t next_ = 0;
};

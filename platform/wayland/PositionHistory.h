#pragma once
// The pointer positions a source reported during a recording, merged into the mouse records
// by time: a record carries the latest position reported at or before its event.
#include <cstdint>
#include <deque>

#include "platform/wayland/DeviceEvents.h"

class PositionHistory {
  public:
    void Reset();
    // A report stamped before the last one is taken as stamped with it: reports keep the
    // order they arrive in.
    void Add(PointerPosition at, uint32_t time);
    // The latest position reported at or before time; before the first report, the first.
    // Times asked never go back (device events keep their order), so older reports go.
    PointerPosition At(uint32_t time);

  private:
    struct Report {
        PointerPosition at;
        uint32_t time;
    };
    std::deque<Report> reports_;
};

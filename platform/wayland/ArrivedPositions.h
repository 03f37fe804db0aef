#pragma once
// Positions that a source's own thread receives, each stamped on receipt, held until the
// journal's thread takes them at its next device event.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include "platform/wayland/PointerSource.h"

class ArrivedPositions {
  public:
    // Stamps at with the tick of now; the oldest go while nobody takes them.
    void Add(PointerPosition at);
    // Hands each held position to report, oldest first, and forgets them.
    void Deliver(const PointerSource::Report& report);
    // True once a position is held; false when timeout passes first.
    bool WaitForOne(std::chrono::milliseconds timeout);
    void Clear();

  private:
    struct Arrival {
        PointerPosition at;
        uint32_t time;
    };
    std::mutex mutex_;
    std::condition_variable added_;
    std::deque<Arrival> held_;  // guarded by mutex_
};

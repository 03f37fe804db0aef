#pragma once
// The playback pump's loop on the simulated journal's virtual clock: calls wait in a list,
// and Run makes them happen in time order, moving the clock to each one's time.
#include <cstdint>
#include <vector>

#include "platform/common/PumpLoop.h"

class SimPumpLoop : public PumpLoop {
  public:
    void CallSoon(Callback callback, void* context) override;
    void CallAfter(int32_t milliseconds, Callback callback, void* context) override;
    void Cancel(Callback callback, void* context) override;

    // Runs the waiting calls, earliest first (in the order they were made at equal times),
    // until none is left or limit calls have run; returns how many ran.
    std::size_t Run(std::size_t limit = 1'000'000);
    std::size_t Waiting() const { return calls_.size(); }

  private:
    struct Call {
        uint32_t due;
        uint64_t order;
        Callback callback;
        void* context;
    };
    std::vector<Call> calls_;
    uint64_t nextOrder_ = 0;
};

// Records played into the simulation, with the virtual tick at which each went out.
class SimInjector : public RecordInjector {
  public:
    struct Played {
        EVENTMSG record;
        uint32_t tick;
    };
    void Apply(const EVENTMSG& record) override;
    std::vector<Played> played;
};

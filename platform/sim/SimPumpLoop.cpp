#include "platform/sim/SimPumpLoop.h"

#include <algorithm>

#include "platform/sim/SimJournal.h"

void SimPumpLoop::CallSoon(Callback callback, void* context) {
    CallAfter(0, callback, context);
}

void SimPumpLoop::CallAfter(int32_t milliseconds, Callback callback, void* context) {
    const uint32_t now = SimJournal::Instance().Tick();
    calls_.push_back(
        Call{now + static_cast<uint32_t>(milliseconds), nextOrder_++, callback, context});
}

void SimPumpLoop::Cancel(Callback callback, void* context) {
    std::erase_if(calls_, [&](const Call& call) {
        return call.callback == callback && call.context == context;
    });
}

std::size_t SimPumpLoop::Run(std::size_t limit) {
    SimJournal& journal = SimJournal::Instance();
    std::size_t ran = 0;
    while (!calls_.empty() && ran < limit) {
        const uint32_t now = journal.Tick();
        auto earlier = [now](const Call& a, const Call& b) {
            const int32_t aDue = static_cast<int32_t>(a.due - now);
            const int32_t bDue = static_cast<int32_t>(b.due - now);
            return aDue != bDue ? aDue < bDue : a.order < b.order;
        };
        auto next = std::min_element(calls_.begin(), calls_.end(), earlier);
        Call call = *next;
        calls_.erase(next);
        if (static_cast<int32_t>(call.due - now) > 0) journal.SetTick(call.due);
        call.callback(call.context);
        ++ran;
    }
    return ran;
}

void SimInjector::Apply(const EVENTMSG& record) {
    played.push_back(Played{record, SimJournal::Instance().Tick()});
}

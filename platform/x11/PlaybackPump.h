#pragma once
// Plays the system's part of the journal-playback protocol on the UI loop: asks the hook for
// the next record, waits the delay it returns with a timer aimed at the exact millisecond,
// asks again, injects the record and moves the hook on. It never calls a hook that has been
// removed.
#include <cstdint>

#include "engine/EventMsg.h"
#include "engine/Journal.h"

class InputInjector;

class PlaybackPump {
public:
    explicit PlaybackPump(InputInjector& injector) : injector_(injector) {}
    ~PlaybackPump() { Stop(); }

    void Start(JournalHookProc procedure);
    void Stop();
    bool Running() const { return procedure_ != nullptr; }

private:
    static void OnTimer(void* self);
    void Step();
    void WaitFor(int32_t delayMilliseconds);

    InputInjector& injector_;
    JournalHookProc procedure_ = nullptr;
    uint64_t generation_ = 0;  // changes with every Start and Stop
};

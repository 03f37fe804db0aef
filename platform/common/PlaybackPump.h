#pragma once
// Plays the system's part of the journal-playback protocol on the UI loop: asks the hook for
// the next record, waits the delay it returns with a timer aimed at the exact millisecond,
// asks again, injects the record (as the hook's unchanged copy, kHookNoRemove, gives it) and
// moves the hook on. It never calls a hook that has been removed. The same code on every
// platform, over the platform's loop and injection.
#include <cstdint>

#include "engine/EventMsg.h"
#include "engine/Journal.h"
#include "platform/common/PumpLoop.h"

class PlaybackPump {
  public:
    PlaybackPump(PumpLoop& loop, RecordInjector& injector) : loop_(loop), injector_(injector) {}
    ~PlaybackPump() { Stop(); }

    // While a Hold exists the pump delivers the record that is due but moves on only at the
    // next turn of the UI loop. The backend holds playback while it lets pending events
    // through from inside a command, so that a pass never runs to its end (and into the next
    // pass) nested inside the command or the pass start that started it.
    class Hold {
      public:
        Hold() { ++holds_; }
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
    };

    void Start(JournalHookProc procedure);
    void Stop();
    bool Running() const { return procedure_ != nullptr; }

  private:
    static void OnTimer(void* self);
    void Step(bool held);

    PumpLoop& loop_;
    RecordInjector& injector_;
    JournalHookProc procedure_ = nullptr;
    uint64_t generation_ = 0;  // changes with every Start and Stop
    bool stepping_ = false;
    bool delivered_ = false;  // the record handed out has not been skipped yet
    static inline int holds_ = 0;
    static inline PlaybackPump* held_ = nullptr;  // the pump whose step waits for the hold
};

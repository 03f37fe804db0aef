#pragma once
// What the playback pump needs of a platform's event loop, and of its input: timers aimed at
// the journal's clock, and the injection of one record. Each platform realises both on its
// own loop (FLTK timers on X11, the virtual clock in the simulation).
#include <cstdint>

#include "engine/EventMsg.h"

class PumpLoop {
  public:
    using Callback = void (*)(void* context);
    virtual ~PumpLoop() = default;

    // Calls back at the loop's next turn, after the events that are pending now.
    virtual void CallSoon(Callback callback, void* context) = 0;
    // Calls back when the journal's tick count has moved on by milliseconds: at the start of
    // that millisecond, not milliseconds from now.
    virtual void CallAfter(int32_t milliseconds, Callback callback, void* context) = 0;
    // Forgets the calls of callback with context that have not happened yet.
    virtual void Cancel(Callback callback, void* context) = 0;
};

class RecordInjector {
  public:
    virtual ~RecordInjector() = default;
    // Puts one record into the system's input, as the user would have made it.
    virtual void Apply(const EVENTMSG& record) = 0;
};

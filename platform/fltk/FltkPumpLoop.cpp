#include "platform/fltk/FltkPumpLoop.h"

#include <FL/Fl.H>

#include "platform/posix/MonotonicClock.h"

void FltkPumpLoop::CallSoon(Callback callback, void* context) {
    Fl::add_timeout(0.0, callback, context);
}

void FltkPumpLoop::CallAfter(int32_t milliseconds, Callback callback, void* context) {
    // Due when the tick count reaches now + milliseconds: the start of that millisecond.
    uint64_t now = MonotonicNanoseconds();
    uint64_t due = (now / 1'000'000u + static_cast<uint64_t>(milliseconds)) * 1'000'000u;
    Fl::add_timeout(static_cast<double>(due - now) / 1e9, callback, context);
}

void FltkPumpLoop::Cancel(Callback callback, void* context) {
    Fl::remove_timeout(callback, context);
}

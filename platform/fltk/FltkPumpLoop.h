#pragma once
// The playback pump's loop on FLTK: timeouts, aimed at the monotonic clock's milliseconds.
#include "platform/common/PumpLoop.h"

class FltkPumpLoop : public PumpLoop {
  public:
    void CallSoon(Callback callback, void* context) override;
    void CallAfter(int32_t milliseconds, Callback callback, void* context) override;
    void Cancel(Callback callback, void* context) override;
};

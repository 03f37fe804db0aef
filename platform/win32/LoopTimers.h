#pragma once
// The UI thread's timers, run by its message loop: the playback pump's calls, aimed at the
// journal's milliseconds. The loop waits for the next one with a waitable timer (a
// high-resolution one where the system has it; otherwise the system timer is set to 1 ms)
// together with the thread's messages.
#include <cstdint>
#include <vector>

#include "platform/common/PumpLoop.h"
#include "platform/win32/WindowsApi.h"

class LoopTimers : public PumpLoop {
  public:
    static LoopTimers& Instance();
    ~LoopTimers() override;
    LoopTimers(const LoopTimers&) = delete;
    LoopTimers& operator=(const LoopTimers&) = delete;

    void CallSoon(Callback callback, void* context) override;
    void CallAfter(int32_t milliseconds, Callback callback, void* context) override;
    void Cancel(Callback callback, void* context) override;

    // Runs the calls that are due, those made while they run waiting for the next turn.
    void RunDue();
    // Waits until the thread has input or messages, or a call is due, or longest ms passed.
    void WaitForMessagesOrDue(DWORD longest);

  private:
    struct Call {
        Callback callback;
        void* context;
        uint64_t due;   // on the journal's clock, in nanoseconds; 0: at the next turn
        uint64_t turn;  // the turn in which it was made
    };

    LoopTimers();
    // The position of the first call that may run now, or calls_.size().
    std::size_t NextRunnable(uint64_t now, uint64_t turn) const;

    std::vector<Call> calls_;
    uint64_t turn_ = 0;
    HANDLE timer_ = nullptr;
    bool coarse_ = false;  // the timer is an ordinary one, with the system timer at 1 ms
};

#pragma once
// The UI thread's timers, run by its message loop: the playback pump's calls, aimed at the
// journal's milliseconds. The loop waits for the next one with a waitable timer (a
// high-resolution one where the system has it; otherwise an ordinary one, with the system
// timer set to 1 ms while calls wait, and only then, since that costs the whole system)
// together with the thread's messages. While calls are waiting, a window timer of a window
// of their own runs them too, so that they go on inside the system's modal loops (a message
// box, the system menu, a title bar dragged, a file dialog), which dispatch window messages
// but never come back to this loop.
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
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    // Keeps the window timer running, and the system timer at 1 ms where that is needed,
    // while calls wait, and only then.
    void UpdateWaiting();
    // The position of the first call that may run now, or calls_.size().
    std::size_t NextRunnable(uint64_t now, uint64_t turn) const;

    std::vector<Call> calls_;
    uint64_t turn_ = 0;
    HANDLE timer_ = nullptr;
    HWND window_ = nullptr;
    bool waiting_ = false;  // the window timer runs, the system timer is raised
    int running_ = 0;       // the depth of RunDue; waiting is updated when it ends
    bool coarse_ = false;   // the timer is an ordinary one: the system timer goes to 1 ms
};

#pragma once
// The low-level keyboard and mouse hooks, on a thread that does nothing else. The system
// calls such a hook on the thread that installed it and removes it, without a word, when a
// call overruns LowLevelHooksTimeout; the UI thread shows message boxes, loads files and
// paints, so the hooks would not be safe there. The procedures hand their work to the UI
// thread by posting. The thread also notices a hook that the system has removed (input
// arrived that no procedure saw) and installs it again; the keyboard hook alone, which
// cannot tell, it renews every second.
#include <atomic>

#include "platform/win32/WindowsApi.h"

// Whether input that the system saw arrive at lastInput (GetLastInputInfo) went past hooks
// that last saw input at lastSeen: it came after that and is old enough, at now, that the
// procedures would have been called by then. All on the tick count, wrapping.
bool HookWasRemoved(DWORD lastInput, DWORD lastSeen, DWORD now);

class LowLevelHookThread {
  public:
    LowLevelHookThread(HOOKPROC keyboard, HOOKPROC mouse)
        : keyboardProc_(keyboard), mouseProc_(mouse) {}
    LowLevelHookThread(const LowLevelHookThread&) = delete;
    LowLevelHookThread& operator=(const LowLevelHookThread&) = delete;

    // Installs or removes each hook on the thread, and waits until that is done; whether
    // they are in place as wanted. A removed hook is noticed while both are in place; the
    // keyboard hook alone is renewed every second.
    bool Set(bool keyboard, bool mouse);
    // Called by the procedures for every event they are given, played or not.
    void Seen() { lastSeen_ = GetTickCount(); }

  private:
    static DWORD WINAPI Run(LPVOID self);
    bool Start();
    void Apply(bool keyboard, bool mouse);  // on the thread
    void Watch();                           // on the thread, by its timer
    void RenewKeyboardHook();               // on the thread

    HOOKPROC keyboardProc_;
    HOOKPROC mouseProc_;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    HANDLE applied_ = nullptr;  // set by the thread once it has started or done a Set
    std::atomic<bool> result_{false};
    std::atomic<DWORD> lastSeen_{0};
    HHOOK keyboard_ = nullptr;  // these belong to the thread
    HHOOK mouse_ = nullptr;
    UINT_PTR watch_ = 0;
};

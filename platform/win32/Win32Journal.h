#pragma once
// The input journal on Windows, in one of two ways chosen as each hook is installed:
//   system:   the system's journal hooks (WH_JOURNALRECORD, WH_JOURNALPLAYBACK), which call
//             the engine's procedures themselves;
//   emulated: where the system refuses those (Windows 11 has dropped them; earlier versions
//             keep them for programs with UI access) or accepts them without ever calling
//             them (Wine), the low-level keyboard and mouse hooks make the records on a
//             thread of their own, which posts them to the UI thread, and the playback pump plays
//             the procedure's records with SendInput. Ctrl+Esc ends it as it ends the system's
//             journal: the hooks go, and WM_CANCELJOURNAL reaches the application's message filter
//             through a window of the journal's own, where the system's modal loops deliver it too
//             (they drop messages posted to the thread). A session lock, or input that
//             goes to another desktop (the secure desktop, a UAC prompt), ends it the same way.
// TAPEWRIGHT_JOURNAL=system or =emulated forces one way.
#include <atomic>
#include <utility>
#include <vector>

#include "engine/Journal.h"
#include "platform/common/PlaybackPump.h"
#include "platform/win32/HeldKeys.h"
#include "platform/win32/HookThread.h"
#include "platform/win32/InputSender.h"
#include "platform/win32/LoopTimers.h"
#include "platform/win32/WindowsApi.h"

enum class JournalWay { Automatic, System, Emulated };

// The way TAPEWRIGHT_JOURNAL asks for; under Wine, emulated unless asked otherwise.
JournalWay RequestedJournalWay();

class Win32Journal {
  public:
    static Win32Journal& Instance();

    JournalHookHandle Install(JournalHookType type, JournalHookProc procedure);
    void Remove(JournalHookHandle handle);
    int32_t CallNext(JournalHookHandle handle, int32_t code, uintptr_t wParam, intptr_t lParam);
    // "system" or "emulated": how the newest hook was installed; "" before the first.
    const char* WayInUse() const { return wayInUse_; }

  private:
    struct Hook {
        JournalHookHandle handle;
        JournalHookType type;
        JournalHookProc procedure;
        HHOOK system;  // null for an emulated hook
    };

    Win32Journal();
    static LRESULT CALLBACK SystemRecordProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SystemPlaybackProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

    const Hook* Newest(JournalHookType type, bool system) const;
    bool StartEmulated(const Hook& hook);
    bool UpdateLowLevelHooks();
    void Detach(const Hook& hook);
    bool OnKey(WPARAM message, const KBDLLHOOKSTRUCT& key);  // on the hooks' thread
    void Queue(const EVENTMSG& record);                      // on the hooks' thread
    void DeliverQueued();
    void Deliver(EVENTMSG record);
    void LeaveDesktop();
    void Cancel();

    std::vector<Hook> hooks_;
    JournalHookHandle nextHandle_ = 1;
    LowLevelHookThread lowLevel_{&KeyboardProc, &MouseProc};
    std::pair<bool, bool> lowLevelWanted_{false, false};  // keyboard, mouse
    std::atomic<bool> recording_{false};                  // an emulated record hook exists
    // Records made on the hooks' thread, waiting for the UI thread.
    CRITICAL_SECTION queueLock_;
    std::vector<EVENTMSG> queued_;
    InputSender sender_{[this] { Cancel(); }};
    PlaybackPump pump_{LoopTimers::Instance(), sender_};
    HeldKeys held_;             // by the records delivered to the emulated record hook
    uint32_t recordStart_ = 0;  // no record is stamped before the record hook came
    bool controlHeld_ = false;  // a Ctrl key is down, as the keyboard hook saw
    bool cancelled_ = false;    // the application is yet to hear of a cancel
    HWND window_ = nullptr;     // on the UI thread, where the cancel goes
    const char* wayInUse_ = "";
};

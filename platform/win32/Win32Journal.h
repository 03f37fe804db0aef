#pragma once
// The input journal on Windows, in one of two ways chosen as each hook is installed:
//   system:   the system's journal hooks (WH_JOURNALRECORD, WH_JOURNALPLAYBACK), which call
//             the engine's procedures themselves;
//   emulated: where the system refuses those (Windows 11 has dropped them; earlier versions
//             keep them for programs with UI access) or accepts them without ever calling
//             them (Wine), the low-level keyboard and mouse hooks make the records, and the
//             playback pump plays the procedure's records with SendInput. Ctrl+Esc ends it
//             as it ends the system's journal: the hooks go, and WM_CANCELJOURNAL reaches the
//             application's message filter through a window of the journal's own, where the
//             system's modal loops deliver it too (they drop messages posted to the thread).
// TAPEWRIGHT_JOURNAL=system or =emulated forces one way.
#include <vector>

#include "engine/Journal.h"
#include "platform/common/PlaybackPump.h"
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

    Win32Journal() = default;
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
    bool OnKey(WPARAM message, const KBDLLHOOKSTRUCT& key);
    void Deliver(EVENTMSG record);
    void Cancel();

    std::vector<Hook> hooks_;
    JournalHookHandle nextHandle_ = 1;
    HHOOK keyboard_ = nullptr;
    HHOOK mouse_ = nullptr;
    InputSender sender_{[this] { Cancel(); }};
    PlaybackPump pump_{LoopTimers::Instance(), sender_};
    uint32_t recordStart_ = 0;  // no record is stamped before the record hook came
    bool controlHeld_ = false;  // a Ctrl key is down, as the keyboard hook saw
    HWND window_ = nullptr;     // on the UI thread, where the cancel goes
    const char* wayInUse_ = "";
};

#include "platform/win32/Win32Journal.h"

#include <algorithm>
#include <utility>

#include "engine/HookErrors.h"
#include "platform/win32/LoopTimers.h"
#include "platform/win32/SystemFunctions.h"
#include "platform/win32/TickClock.h"
#include "platform/win32/WindowClasses.h"
#include "toolkit/Application.h"

namespace {

// Posted to the journal's window: the hooks' thread saw Ctrl+Esc; records wait in the
// queue; the journal has been cancelled and the application is to hear of it.
constexpr UINT kCancelKey = WM_APP + 0x4A;
constexpr UINT kRecordsQueued = WM_APP + 0x4C;
constexpr UINT kJournalCancelled = WM_APP + 0x4B;
// While an emulated hook exists, the journal's window looks this often whether the input
// still comes to the program's desktop.
constexpr UINT_PTR kDesktopTimer = 1;
constexpr UINT kDesktopEvery = 200;  // ms

class Locked {
  public:
    explicit Locked(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
    ~Locked() { LeaveCriticalSection(&lock_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

  private:
    CRITICAL_SECTION& lock_;
};

// Asks for WM_WTSSESSION_CHANGE at window (Windows XP on; looked up, as the library is
// loaded only for this).
void WatchSessionChanges(HWND window) {
    using Register = BOOL(WINAPI*)(HWND, DWORD);
    const auto watch = SystemFunction<Register>(L"wtsapi32.dll", "WTSRegisterSessionNotification");
    if (watch != nullptr) watch(window, 0 /* NOTIFY_FOR_THIS_SESSION */);
}

// The session is locked or leaves the console: the input goes to another desktop, which
// the hooks never see.
bool LeavesTheDesktop(UINT message, WPARAM change) {
    constexpr UINT kSessionChange = 0x02B1;  // WM_WTSSESSION_CHANGE
    constexpr WPARAM kConsoleDisconnect = 0x2, kRemoteDisconnect = 0x4, kSessionLock = 0x7;
    return message == kSessionChange &&
           (change == kConsoleDisconnect || change == kRemoteDisconnect || change == kSessionLock);
}

// Whether the desktop that receives the input is this thread's own. The secure desktop
// (Ctrl+Alt+Del, a UAC prompt) and the lock screen are the system's: opening them is
// refused, or their name differs. Where this thread's own name cannot be read, nothing is
// taken for a switch.
bool InputOnOwnDesktop() {
    wchar_t own[256] = L"";
    wchar_t input[256] = L"";
    HDESK thread = GetThreadDesktop(GetCurrentThreadId());
    if (thread == nullptr ||
        !GetUserObjectInformationW(thread, UOI_NAME, own, sizeof own - sizeof own[0], nullptr)) {
        return true;
    }
    HDESK desktop = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
    if (desktop == nullptr) return false;
    const bool named = GetUserObjectInformationW(desktop, UOI_NAME, input,
                                                 sizeof input - sizeof input[0], nullptr) != 0;
    CloseDesktop(desktop);
    return !named || lstrcmpiW(own, input) == 0;
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

EVENTMSG FromSystem(const tagEVENTMSG& event) {
    return EVENTMSG{event.message, event.paramL, event.paramH, event.time,
                    static_cast<uint32_t>(reinterpret_cast<uintptr_t>(event.hwnd))};
}

tagEVENTMSG ToSystem(const EVENTMSG& record) {
    return tagEVENTMSG{record.message, record.paramL, record.paramH, record.time,
                       reinterpret_cast<HWND>(static_cast<uintptr_t>(record.hwnd))};
}

// Calls a procedure of the engine from a system callback: nothing may unwind into it.
LRESULT CallProcedure(JournalHookProc procedure, int code, WPARAM wParam, EVENTMSG* record) {
    LRESULT result = 0;
    RunGuarded([&] { result = procedure(code, wParam, reinterpret_cast<intptr_t>(record)); });
    return result;
}

}  // namespace

JournalWay RequestedJournalWay() {
    char value[16] = "";
    const DWORD length = GetEnvironmentVariableA("TAPEWRIGHT_JOURNAL", value, sizeof value);
    if (length > 0 && length < sizeof value) {
        if (lstrcmpiA(value, "system") == 0) return JournalWay::System;
        if (lstrcmpiA(value, "emulated") == 0) return JournalWay::Emulated;
    }
    return RunningUnderWine() ? JournalWay::Emulated : JournalWay::Automatic;
}

Win32Journal::Win32Journal() {
    InitializeCriticalSection(&queueLock_);
}

Win32Journal& Win32Journal::Instance() {
    static Win32Journal journal;
    return journal;
}

JournalHookHandle Win32Journal::Install(JournalHookType type, JournalHookProc procedure) {
    Hook hook{nextHandle_, type, procedure, nullptr};
    const JournalWay way = RequestedJournalWay();
    const bool record = type == JournalHookType::Record;
    if (way != JournalWay::Emulated) {
        hook.system = SetWindowsHookExA(record ? WH_JOURNALRECORD : WH_JOURNALPLAYBACK,
                                        record ? &SystemRecordProc : &SystemPlaybackProc,
                                        GetModuleHandleA(nullptr), 0);
        if (hook.system == nullptr && way == JournalWay::System) return 0;
    }
    if (window_ == nullptr) {
        RegisterWindowClass(L"TapewrightJournal", &WindowProcedure);
        window_ = CreateWindowExW(0, L"TapewrightJournal", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        if (window_ != nullptr) WatchSessionChanges(window_);
    }
    if (record) {
        recordStart_ = TickMilliseconds();
        held_.Clear();
        Locked locked(queueLock_);
        queued_.clear();  // a former recording's last input
    }
    hooks_.push_back(hook);
    if (hook.system == nullptr && !StartEmulated(hook)) {
        hooks_.pop_back();
        UpdateLowLevelHooks();
        return 0;
    }
    wayInUse_ = hook.system != nullptr ? "system" : "emulated";
    return nextHandle_++;
}

bool Win32Journal::StartEmulated(const Hook& hook) {
    // The slow preparation first, before any hook is in place.
    if (hook.type == JournalHookType::Playback) sender_.Prepare();
    if (!UpdateLowLevelHooks()) return false;
    if (hook.type == JournalHookType::Playback) pump_.Start(hook.procedure);
    return true;
}

// The keyboard hook while any emulated hook exists (it watches for the cancel); the mouse
// hook while an emulated record hook does (under Wine, a mouse hook held during playback
// made the pointer jump back to where the X server had it).
bool Win32Journal::UpdateLowLevelHooks() {
    bool keyboard = false;
    bool recording = false;
    for (const Hook& hook : hooks_) {
        if (hook.system != nullptr) continue;
        keyboard = true;
        recording = recording || hook.type == JournalHookType::Record;
    }
    recording_ = recording;
    if (keyboard) {
        SetTimer(window_, kDesktopTimer, kDesktopEvery, nullptr);
    } else {
        KillTimer(window_, kDesktopTimer);
    }
    const std::pair<bool, bool> wanted{keyboard, recording};
    if (wanted == lowLevelWanted_) return true;
    lowLevelWanted_ = wanted;
    if (lowLevel_.Set(keyboard, recording)) return true;
    lowLevel_.Set(false, false);
    lowLevelWanted_ = {false, false};
    return false;
}

void Win32Journal::Detach(const Hook& hook) {
    if (hook.system != nullptr) {
        UnhookWindowsHookEx(hook.system);  // fails harmlessly where the system removed it
    } else if (hook.type == JournalHookType::Playback) {
        pump_.Stop();
        sender_.ReleaseAll();
    }
}

void Win32Journal::Remove(JournalHookHandle handle) {
    auto it = std::find_if(hooks_.begin(), hooks_.end(),
                           [handle](const Hook& hook) { return hook.handle == handle; });
    if (it == hooks_.end()) return;  // already removed by a journal cancel
    const Hook hook = *it;
    hooks_.erase(it);
    Detach(hook);
    UpdateLowLevelHooks();
}

int32_t Win32Journal::CallNext(JournalHookHandle handle, int32_t code, uintptr_t wParam,
                               intptr_t lParam) {
    auto it = std::find_if(hooks_.begin(), hooks_.end(),
                           [handle](const Hook& hook) { return hook.handle == handle; });
    if (it == hooks_.end() || it->system == nullptr) return 0;
    if (code < 0 || lParam == 0) {
        return static_cast<int32_t>(CallNextHookEx(it->system, code, wParam, lParam));
    }
    // The next hook reads the system's record, whose window field is pointer-sized.
    tagEVENTMSG event = ToSystem(*reinterpret_cast<const EVENTMSG*>(lParam));
    return static_cast<int32_t>(
        CallNextHookEx(it->system, code, wParam, reinterpret_cast<LPARAM>(&event)));
}

const Win32Journal::Hook* Win32Journal::Newest(JournalHookType type, bool system) const {
    for (auto it = hooks_.rbegin(); it != hooks_.rend(); ++it) {
        if (it->type == type && (it->system != nullptr) == system) return &*it;
    }
    return nullptr;
}

LRESULT CALLBACK Win32Journal::SystemRecordProc(int code, WPARAM wParam, LPARAM lParam) {
    Win32Journal& journal = Instance();
    const Hook* hook = journal.Newest(JournalHookType::Record, true);
    if (code < 0 || hook == nullptr) return CallNextHookEx(nullptr, code, wParam, lParam);
    if (lParam == 0) return CallProcedure(hook->procedure, code, wParam, nullptr);
    EVENTMSG record = FromSystem(*reinterpret_cast<const tagEVENTMSG*>(lParam));
    if (IsPacketKey(record)) return CallNextHookEx(nullptr, code, wParam, lParam);
    if (static_cast<int32_t>(record.time - journal.recordStart_) < 0) {
        record.time = journal.recordStart_;
    }
    return CallProcedure(hook->procedure, code, wParam, &record);
}

LRESULT CALLBACK Win32Journal::SystemPlaybackProc(int code, WPARAM wParam, LPARAM lParam) {
    const Hook* hook = Instance().Newest(JournalHookType::Playback, true);
    if (code < 0 || hook == nullptr) return CallNextHookEx(nullptr, code, wParam, lParam);
    if (lParam == 0) return CallProcedure(hook->procedure, code, wParam, nullptr);
    auto* event = reinterpret_cast<tagEVENTMSG*>(lParam);
    EVENTMSG record = FromSystem(*event);
    const LRESULT result = CallProcedure(hook->procedure, code, wParam, &record);
    *event = ToSystem(record);
    return result;
}

LRESULT CALLBACK Win32Journal::KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        Instance().lowLevel_.Seen();
        // Nothing here may unwind into the system; only memory can fail, and then the
        // record is lost.
        try {
            if (Instance().OnKey(wParam, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam))) {
                return 1;
            }
        } catch (...) {
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK Win32Journal::MouseProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        Win32Journal& journal = Instance();
        journal.lowLevel_.Seen();
        const auto& mouse = *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        if (journal.recording_ && mouse.dwExtraInfo != kPlayedInputMark) {
            try {
                if (std::optional<EVENTMSG> record = RecordOfMouse(wParam, mouse)) {
                    journal.Queue(*record);
                }
            } catch (...) {
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Input the program plays itself is neither recorded nor taken for the user's cancel.
bool Win32Journal::OnKey(WPARAM message, const KBDLLHOOKSTRUCT& key) {
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    // Ctrl as this hook saw it go: the system's key state can lag behind its hooks.
    if (key.vkCode == VK_LCONTROL || key.vkCode == VK_RCONTROL || key.vkCode == VK_CONTROL) {
        controlHeld_ = down;
    }
    if (key.dwExtraInfo == kPlayedInputMark) return false;
    const bool control = controlHeld_ || (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
    if (down && key.vkCode == VK_ESCAPE && control) {
        PostMessageW(window_, kCancelKey, 0, 0);
        return true;
    }
    if (!recording_) return false;
    if (std::optional<EVENTMSG> record = RecordOfKey(message, key)) Queue(*record);
    return false;
}

void Win32Journal::Queue(const EVENTMSG& record) {
    bool first = false;
    {
        Locked locked(queueLock_);
        first = queued_.empty();
        queued_.push_back(record);
    }
    if (first) PostMessageW(window_, kRecordsQueued, 0, 0);
}

void Win32Journal::DeliverQueued() {
    std::vector<EVENTMSG> records;
    {
        Locked locked(queueLock_);
        records.swap(queued_);
    }
    // The procedure may end the recording (Ctrl+Break): what follows is then dropped.
    for (const EVENTMSG& record : records) Deliver(record);
}

void Win32Journal::Deliver(EVENTMSG record) {
    const Hook* hook = Newest(JournalHookType::Record, false);
    if (hook == nullptr) return;
    if (static_cast<int32_t>(record.time - recordStart_) < 0) record.time = recordStart_;
    held_.Note(record);
    hook->procedure(kHookAction, 0, reinterpret_cast<intptr_t>(&record));
}

// The input went to a desktop that the hooks never see. The recording gets what was queued
// and the ups of the keys it holds down (those pressed to get there), then the journal is
// cancelled, as the system cancels its own.
void Win32Journal::LeaveDesktop() {
    if (hooks_.empty()) return;
    DeliverQueued();
    for (const EVENTMSG& up : held_.Release(TickMilliseconds())) Deliver(up);
    Cancel();
}

void Win32Journal::Cancel() {
    if (hooks_.empty()) return;
    std::vector<Hook> removed;
    removed.swap(hooks_);
    for (const Hook& hook : removed) Detach(hook);
    UpdateLowLevelHooks();
    cancelled_ = true;
    PostMessageW(window_, kJournalCancelled, 0, 0);
}

// Modal loops dispatch these too. The cancel goes to the application's message filter at
// once: inside a modal loop the application's queue would wait until the loop ends.
LRESULT CALLBACK Win32Journal::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (LeavesTheDesktop(message, wParam)) {
        // As the system ends its journal when the secure desktop comes.
        RunGuarded([] { Instance().LeaveDesktop(); });
        return 0;
    }
    if (message == WM_TIMER && wParam == kDesktopTimer) {
        if (!InputOnOwnDesktop()) RunGuarded([] { Instance().LeaveDesktop(); });
        return 0;
    }
    if (message == kRecordsQueued || message == kCancelKey) {
        RunGuarded([message] {
            if (message == kRecordsQueued) Instance().DeliverQueued();
            if (message == kCancelKey) Instance().Cancel();
        });
        return 0;
    }
    if (message != kJournalCancelled) return DefWindowProcW(window, message, wParam, lParam);
    if (!std::exchange(Instance().cancelled_, false)) return 0;
    if (Application != nullptr && Application->OnMessage) {
        TMsg cancel{.message = msg::kCancelJournal};
        Application->Dispatch([&] {
            bool handled = false;
            Application->OnMessage(cancel, handled);
        });
    }
    return 0;
}

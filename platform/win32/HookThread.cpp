#include "platform/win32/HookThread.h"

#include <utility>

namespace {

constexpr UINT kSetHooks = WM_APP + 1;  // wParam: keyboard hook wanted; lParam: mouse
constexpr UINT kWatchEvery = 1000;      // ms
// A procedure is called within this long of its input, or the system drops the hook
// (LowLevelHooksTimeout is at most 1000 ms from Windows 7 on).
constexpr DWORD kCalledWithin = 1500;  // ms

}  // namespace

bool HookWasRemoved(DWORD lastInput, DWORD lastSeen, DWORD now) {
    return static_cast<int32_t>(lastInput - lastSeen) > 0 &&
           static_cast<int32_t>(now - lastInput) >= static_cast<int32_t>(kCalledWithin);
}

bool LowLevelHookThread::Start() {
    if (thread_ != nullptr) return true;
    applied_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (applied_ == nullptr) return false;
    thread_ = CreateThread(nullptr, 0, &Run, this, 0, &threadId_);
    if (thread_ == nullptr) return false;
    // Its message queue exists once it says so.
    WaitForSingleObject(applied_, INFINITE);
    return true;
}

bool LowLevelHookThread::Set(bool keyboard, bool mouse) {
    if (!keyboard && !mouse && thread_ == nullptr) return true;
    if (!Start()) return false;
    if (!PostThreadMessageW(threadId_, kSetHooks, keyboard ? 1 : 0, mouse ? 1 : 0)) return false;
    WaitForSingleObject(applied_, INFINITE);
    return result_;
}

DWORD WINAPI LowLevelHookThread::Run(LPVOID self) {
    auto& hooks = *static_cast<LowLevelHookThread*>(self);
    MSG message{};
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    SetEvent(hooks.applied_);
    // The hook procedures are called while this waits for messages.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == kSetHooks) {
            hooks.Apply(message.wParam != 0, message.lParam != 0);
            SetEvent(hooks.applied_);
        } else if (message.hwnd == nullptr && message.message == WM_TIMER) {
            hooks.Watch();
        }
    }
    return 0;
}

void LowLevelHookThread::Apply(bool keyboard, bool mouse) {
    if (keyboard_ != nullptr) UnhookWindowsHookEx(std::exchange(keyboard_, nullptr));
    if (mouse_ != nullptr) UnhookWindowsHookEx(std::exchange(mouse_, nullptr));
    if (watch_ != 0) KillTimer(nullptr, std::exchange(watch_, 0));
    HINSTANCE module = GetModuleHandleW(nullptr);
    if (keyboard) keyboard_ = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc_, module, 0);
    if (mouse) mouse_ = SetWindowsHookExW(WH_MOUSE_LL, mouseProc_, module, 0);
    result_ = (!keyboard || keyboard_ != nullptr) && (!mouse || mouse_ != nullptr);
    lastSeen_ = GetTickCount();
    if (keyboard_ != nullptr) watch_ = SetTimer(nullptr, 0, kWatchEvery, nullptr);
}

// Together the hooks see every input, so input that neither saw means one was removed;
// both are installed again, the old ones first. The keyboard hook alone (during a
// playback) cannot tell: the played pointer moves pass it by. It is renewed instead, the
// new one in place before the old one goes, so that Ctrl+Esc comes through even after the
// system dropped it.
void LowLevelHookThread::Watch() {
    if (keyboard_ == nullptr) return;
    if (mouse_ == nullptr) {
        RenewKeyboardHook();
        return;
    }
    LASTINPUTINFO input{};
    input.cbSize = sizeof input;
    if (!GetLastInputInfo(&input)) return;
    if (!HookWasRemoved(input.dwTime, lastSeen_, GetTickCount())) return;
    Apply(true, true);
}

void LowLevelHookThread::RenewKeyboardHook() {
    HHOOK renewed = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc_, GetModuleHandleW(nullptr), 0);
    if (renewed == nullptr) return;  // the old one stays, as good as it is
    UnhookWindowsHookEx(std::exchange(keyboard_, renewed));
}

#include "platform/win32/TopmostDialogs.h"

namespace {

bool StaysOnTop(HWND window) {
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

}  // namespace

TopmostDialogs::TopmostDialogs()
    : hook_(SetWindowsHookExW(WH_CBT, &Procedure, nullptr, GetCurrentThreadId())) {}

TopmostDialogs::~TopmostDialogs() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
}

LRESULT CALLBACK TopmostDialogs::Procedure(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        auto window = reinterpret_cast<HWND>(wParam);
        HWND owner = GetWindow(window, GW_OWNER);
        if (owner != nullptr && StaysOnTop(owner) && !StaysOnTop(window)) {
            SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

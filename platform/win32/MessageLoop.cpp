#include "platform/win32/MessageLoop.h"

#include "platform/win32/LoopTimers.h"
#include "toolkit/Application.h"

namespace {

TMsg AsApplicationMessage(const MSG& message) {
    return TMsg{reinterpret_cast<uintptr_t>(message.hwnd),
                message.message,
                message.wParam,
                message.lParam,
                message.time,
                TPoint{message.pt.x, message.pt.y}};
}

void TakeThreadMessage(const MSG& message) {
    if (Application == nullptr) return;
    if (message.message == WM_QUIT) {
        Application->Terminate();
        return;
    }
    Application->Post(AsApplicationMessage(message));
}

// The application's message filter sees a window's message before the window does.
bool Filtered(const MSG& message) {
    if (Application == nullptr || !Application->OnMessage) return false;
    TMsg copy = AsApplicationMessage(message);
    bool handled = false;
    Application->Dispatch([&] { Application->OnMessage(copy, handled); });
    return handled;
}

}  // namespace

void HandlePendingMessages() {
    LoopTimers::Instance().RunDue();
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.hwnd == nullptr) {
            TakeThreadMessage(message);
            continue;
        }
        if (Filtered(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void WaitAndHandleMessages(DWORD longest) {
    LoopTimers::Instance().WaitForMessagesOrDue(longest);
    HandlePendingMessages();
}

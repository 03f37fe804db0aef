#include "platform/win32/MessageLoop.h"

#include "platform/win32/LoopTimers.h"
#include "toolkit/Application.h"

namespace {

void TakeThreadMessage(const MSG& message) {
    if (Application == nullptr) return;
    if (message.message == WM_QUIT) {
        Application->Terminate();
        return;
    }
    Application->Post(TMsg{0, message.message, message.wParam, message.lParam, message.time,
                           TPoint{message.pt.x, message.pt.y}});
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
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void WaitAndHandleMessages(DWORD longest) {
    LoopTimers::Instance().WaitForMessagesOrDue(longest);
    HandlePendingMessages();
}

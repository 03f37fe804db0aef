#include "platform/win32/Win32Backend.h"

#include "platform/common/PlaybackPump.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/TextConversion.h"
#include "toolkit/Application.h"

namespace {
// The longest single wait; messages, input and due timers end it earlier.
constexpr DWORD kLongestWait = 100;  // ms
}  // namespace

void Win32Backend::ControlChanged(TControl&) {}

void Win32Backend::ControlDestroyed(TControl&) {}

void Win32Backend::FormShown(TForm&) {}

void Win32Backend::FormHidden(TForm&) {}

bool Win32Backend::ExecuteFileDialog(TFileDialog&) {
    return false;
}

int Win32Backend::ShowMessageBox(const std::string& text, const std::string& caption,
                                 uint32_t flags) {
    return MessageBoxW(nullptr, WideFromProgramText(text).c_str(),
                       WideFromProgramText(caption).c_str(), flags | MB_TASKMODAL);
}

bool Win32Backend::ShowHelp(const std::string&, uint32_t, uintptr_t) {
    return false;
}

void Win32Backend::PumpEvents() {
    PlaybackPump::Hold hold;
    HandlePendingMessages();
}

// Waits even with no window shown: a hidden program may be running a playback, whose timers
// and input wake the wait.
bool Win32Backend::WaitForEvents() {
    if (Application != nullptr && Application->Terminated()) return false;
    WaitAndHandleMessages(kLongestWait);
    return true;
}

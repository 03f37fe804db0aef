#include "TargetWindow.h"

#include "platform/win32/TickClock.h"

namespace {
TargetWindow* current = nullptr;
}  // namespace

TargetWindow::TargetWindow(int top) {
    current = this;
    WNDCLASSW type{};
    type.lpfnWndProc = &Procedure;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"TapewrightTarget";
    RegisterClassW(&type);
    window_ =
        CreateWindowExW(WS_EX_TOPMOST, type.lpszClassName, L"target", WS_POPUP | WS_VISIBLE, 0, top,
                        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) - top, nullptr,
                        nullptr, type.hInstance, nullptr);
    SetForegroundWindow(window_);
    SetFocus(window_);
}

TargetWindow::~TargetWindow() {
    DestroyWindow(window_);
    current = nullptr;
}

LRESULT CALLBACK TargetWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool input = (message >= WM_KEYFIRST && message <= WM_KEYLAST && message != WM_CHAR) ||
                       (message >= WM_MOUSEMOVE && message <= WM_MBUTTONUP);
    if (input && current != nullptr) {
        current->events_.push_back(TargetEvent{message, wParam, lParam, TickMilliseconds()});
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool TargetWindow::RunUntil(const std::function<bool()>& done, int seconds) {
    const uint32_t end = TickMilliseconds() + static_cast<uint32_t>(seconds) * 1000;
    MSG message{};
    while (!done()) {
        const auto left = static_cast<int32_t>(end - TickMilliseconds());
        if (left <= 0) return false;
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(std::min(left, 10)), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    return true;
}

std::string TargetWindow::Describe() const {
    std::string text;
    for (const TargetEvent& event : events_) {
        text += std::to_string(event.tick) + " " + std::to_string(event.message) + " " +
                std::to_string(event.wParam) + " " + std::to_string(event.lParam) + "\n";
    }
    return text;
}

HANDLE StartProgram(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return nullptr;
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

bool Ended(HANDLE process, DWORD& code) {
    return WaitForSingleObject(process, 0) == WAIT_OBJECT_0 && GetExitCodeProcess(process, &code);
}

bool Plays(const MacroRecord& record, const TargetEvent& event) {
    if (event.message != record.message) return false;
    if (!record.IsKey()) return event.lParam == MAKELPARAM(record.paramL, record.paramH);
    const bool extended = (record.paramH & 0x8000) != 0;
    return event.wParam == record.VirtualKey() &&
           ((event.lParam >> 16) & 0xFF) == record.ScanCode() &&
           ((event.lParam >> 24) & 1) == (extended ? 1 : 0);
}

std::vector<uint32_t> Arrivals(const std::vector<MacroRecord>& records,
                               const std::vector<TargetEvent>& events, std::string& missing) {
    std::vector<uint32_t> ticks;
    std::size_t next = 0;
    for (const MacroRecord& record : records) {
        while (next < events.size() && !Plays(record, events[next])) ++next;
        if (next == events.size()) {
            missing = "not played: " + record.Describe();
            return ticks;
        }
        ticks.push_back(events[next++].tick);
    }
    return ticks;
}

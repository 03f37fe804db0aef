#include "Desktop.h"

#include <X11/keysym.h>

#include <cstdlib>
#include <sstream>

#ifndef TAPEWRIGHT_BINARY
#define TAPEWRIGHT_BINARY ""
#endif
#ifndef TAPEWRIGHT_EVENT_CLIENT
#define TAPEWRIGHT_EVENT_CLIENT ""
#endif
#ifndef TAPEWRIGHT_E2E_ARTIFACTS
#define TAPEWRIGHT_E2E_ARTIFACTS "."
#endif

namespace {

std::string FromEnvironment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != 0 ? value : fallback;
}

// Barrier moves land in the bottom-right corner of the client, which macros leave alone.
bool InBarrierZone(const ClientEvent& event) {
    return event.kind == ClientEvent::Motion && event.x >= Desktop::kHomeX - 10 &&
           event.y >= Desktop::kHomeY - 10;
}

KeySym KeySymOfVirtualKey(uint8_t virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') return XK_a + (virtualKey - 'A');
    if (virtualKey >= '0' && virtualKey <= '9') return XK_0 + (virtualKey - '0');
    switch (virtualKey) {
        case 0x03:
            return XK_Break;
        case 0x0D:
            return XK_Return;
        case 0x10:
            return XK_Shift_L;
        case 0x11:
            return XK_Control_L;
        case 0x1B:
            return XK_Escape;
        case 0x20:
            return XK_space;
        default:
            return NoSymbol;
    }
}

ClientEvent ButtonEvent(unsigned button, bool press, const MacroRecord& record) {
    ClientEvent event;
    event.kind = ClientEvent::Button;
    event.code = button;
    event.press = press;
    event.x = static_cast<int32_t>(record.paramL);
    event.y = static_cast<int32_t>(record.paramH);
    event.time = record.time;
    return event;
}

}  // namespace

std::string ProgramBinary() {
    return FromEnvironment("TAPEWRIGHT_BINARY", TAPEWRIGHT_BINARY);
}

std::string EventClientBinary() {
    return FromEnvironment("TAPEWRIGHT_EVENT_CLIENT", TAPEWRIGHT_EVENT_CLIENT);
}

std::string ArtifactDirectory() {
    return FromEnvironment("TAPEWRIGHT_E2E_ARTIFACTS", TAPEWRIGHT_E2E_ARTIFACTS);
}

bool Desktop::StopClient() {
    const Window window = client_.WindowId();
    client_.Stop();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (session_->FindWindow([window](const WindowInfo& w) { return w.id == window; })) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        XInput::Pause(10);
    }
    return true;
}

bool Desktop::Start(bool withClient) {
    if (!server_.Start()) {
        error_ = server_.Error();
        return false;
    }
    session_ = std::make_unique<XSession>(server_.DisplayName());
    if (!session_->Connected() || !XInput::Available(session_->Handle())) {
        error_ = "no connection with XTEST to " + server_.DisplayName();
        return false;
    }
    input_ = std::make_unique<XInput>(session_->Handle());
    // Held keys must not repeat: each injected press is one event in every log.
    session_->SetAutoRepeat(false);
    if (withClient && !client_.Start(EventClientBinary(), server_.DisplayName())) {
        error_ = "the event client did not start: " + EventClientBinary();
        return false;
    }
    Rest();
    return true;
}

std::size_t Desktop::Rest() {
    std::size_t mark = client_.Mark();
    input_->MoveTo(kHomeX, kHomeY);
    return mark;
}

bool Desktop::Settle(std::chrono::milliseconds timeout) {
    std::size_t mark = client_.Mark();
    int x = kHomeX + 5;
    int y = kHomeY + 5 - (barrier_++ % 2);
    if (session_->Pointer() == std::make_pair(x, y)) --y;
    input_->MoveTo(x, y);
    return client_.WaitForMotion(mark, x, y, timeout);
}

std::vector<ClientEvent> Desktop::EventsSince(std::size_t mark) {
    std::vector<ClientEvent> events;
    for (const ClientEvent& event : client_.EventsSince(mark)) {
        if (!InBarrierZone(event)) events.push_back(event);
    }
    return events;
}

std::vector<ExpectedEvent> ExpectedEvents(const std::vector<MacroRecord>& records, XInput& input) {
    std::vector<ExpectedEvent> expected;
    for (const MacroRecord& record : records) {
        ClientEvent event;
        event.time = record.time;
        switch (record.message) {
            case wm::kMouseMove:
                event.kind = ClientEvent::Motion;
                event.x = static_cast<int32_t>(record.paramL);
                event.y = static_cast<int32_t>(record.paramH);
                expected.push_back({event});
                continue;
            case wm::kLButtonDown:
            case wm::kLButtonUp:
                expected.push_back({ButtonEvent(1, record.message == wm::kLButtonDown, record)});
                continue;
            case wm::kRButtonDown:
            case wm::kRButtonUp:
                expected.push_back({ButtonEvent(3, record.message == wm::kRButtonDown, record)});
                continue;
            case wm::kXButtonDown:
            case wm::kXButtonUp:
                expected.push_back(
                    {ButtonEvent(7 + record.hwnd, record.message == wm::kXButtonDown, record)});
                continue;
            case wm::kMouseWheel: {
                unsigned button = static_cast<int32_t>(record.hwnd) >= 0 ? 4 : 5;
                expected.push_back({ButtonEvent(button, true, record)});
                expected.push_back({ButtonEvent(button, false, record)});
                continue;
            }
            default:
                break;
        }
        if (!record.IsKey()) continue;
        event.kind = ClientEvent::Key;
        event.press = record.message == wm::kKeyDown || record.message == wm::kSysKeyDown;
        event.keysym = XKeysymToString(KeySymOfVirtualKey(record.VirtualKey()));
        event.code = input.KeyCodeOf(KeySymOfVirtualKey(record.VirtualKey()));
        expected.push_back({event});
    }
    return expected;
}

std::string CompareEvents(const std::vector<ExpectedEvent>& expected,
                          const std::vector<ClientEvent>& actual) {
    std::ostringstream difference;
    for (std::size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        if (i >= actual.size()) {
            difference << "missing event " << i << ": " << expected[i].event.Describe();
            break;
        }
        if (i >= expected.size()) {
            difference << "extra event " << i << ": " << actual[i].Describe();
            break;
        }
        const ClientEvent& want = expected[i].event;
        const ClientEvent& got = actual[i];
        bool same = want.kind == got.kind && want.press == got.press;
        if (want.kind == ClientEvent::Key) same = same && want.code == got.code;
        if (want.kind == ClientEvent::Button) same = same && want.code == got.code;
        if (want.kind != ClientEvent::Key) same = same && want.x == got.x && want.y == got.y;
        if (!same) {
            difference << "event " << i << ": expected " << want.Describe() << ", got "
                       << got.Describe();
            break;
        }
    }
    return difference.str();
}

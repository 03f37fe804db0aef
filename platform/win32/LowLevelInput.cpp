#include "platform/win32/LowLevelInput.h"

#include <algorithm>

namespace {

constexpr uint32_t kExtendedBit = 0x8000;
constexpr int32_t kWheelDelta = 120;

// The low-level hook tells left from right; the journal, like the key messages, does not.
DWORD JournalVirtualKey(DWORD vk) {
    switch (vk) {
        case VK_LSHIFT:
        case VK_RSHIFT:
            return VK_SHIFT;
        case VK_LCONTROL:
        case VK_RCONTROL:
            return VK_CONTROL;
        case VK_LMENU:
        case VK_RMENU:
            return VK_MENU;
        default:
            return vk;
    }
}

INPUT KeyInput(const EVENTMSG& record, bool release) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(record.paramL & 0xFF);
    input.ki.wScan = static_cast<WORD>((record.paramL >> 8) & 0xFF);
    // By scan code where there is one; the virtual-key code goes along for systems that
    // map injected scan codes to no key.
    input.ki.dwFlags = input.ki.wScan != 0 ? KEYEVENTF_SCANCODE : 0;
    if ((record.paramH & kExtendedBit) != 0) input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    if (release) input.ki.dwFlags |= KEYEVENTF_KEYUP;
    input.ki.dwExtraInfo = kPlayedInputMark;
    return input;
}

INPUT PointerInput(const EVENTMSG& record, const ScreenArea& screen, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx =
        NormalisedCoordinate(static_cast<int32_t>(record.paramL), screen.left, screen.width);
    input.mi.dy =
        NormalisedCoordinate(static_cast<int32_t>(record.paramH), screen.top, screen.height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK | flags;
    input.mi.dwExtraInfo = kPlayedInputMark;
    return input;
}

// An X button's record plays only for the two buttons there are.
std::vector<INPUT> XButtonInputs(const EVENTMSG& record, const ScreenArea& screen) {
    if (record.hwnd != XBUTTON1 && record.hwnd != XBUTTON2) return {};
    const bool down = record.message == msg::kXButtonDown;
    INPUT button = PointerInput(record, screen, down ? MOUSEEVENTF_XDOWN : MOUSEEVENTF_XUP);
    button.mi.mouseData = record.hwnd;
    return {button};
}

std::vector<INPUT> WheelInputs(const EVENTMSG& record, const ScreenArea& screen, DWORD flag) {
    const int64_t delta = static_cast<int32_t>(record.hwnd);
    const int64_t limit = int64_t{kMaxWheelNotches} * kWheelDelta;
    INPUT wheel = PointerInput(record, screen, flag);
    wheel.mi.mouseData = static_cast<DWORD>(static_cast<int32_t>(std::clamp(delta, -limit, limit)));
    return {wheel};
}

DWORD ButtonFlag(uint32_t message) {
    switch (message) {
        case msg::kLButtonDown:
            return MOUSEEVENTF_LEFTDOWN;
        case msg::kLButtonUp:
            return MOUSEEVENTF_LEFTUP;
        case msg::kRButtonDown:
            return MOUSEEVENTF_RIGHTDOWN;
        case msg::kRButtonUp:
            return MOUSEEVENTF_RIGHTUP;
        case msg::kMButtonDown:
            return MOUSEEVENTF_MIDDLEDOWN;
        case msg::kMButtonUp:
            return MOUSEEVENTF_MIDDLEUP;
        default:
            return 0;
    }
}

}  // namespace

std::optional<EVENTMSG> RecordOfKey(WPARAM message, const KBDLLHOOKSTRUCT& key) {
    if (key.vkCode == VK_PACKET) return std::nullopt;
    const uint32_t vk = JournalVirtualKey(key.vkCode) & 0xFF;
    const uint32_t scan = key.scanCode & 0xFF;
    const bool extended = (key.flags & LLKHF_EXTENDED) != 0;
    return EVENTMSG{static_cast<uint32_t>(message), vk | scan << 8,
                    1u | (extended ? kExtendedBit : 0u), key.time, 0};
}

std::optional<EVENTMSG> RecordOfMouse(WPARAM message, const MSLLHOOKSTRUCT& mouse) {
    const auto code = static_cast<uint32_t>(message);
    EVENTMSG record{code, static_cast<uint32_t>(mouse.pt.x), static_cast<uint32_t>(mouse.pt.y),
                    mouse.time, 0};
    if (code == msg::kMouseWheel || code == msg::kMouseHWheel) {
        // The delta is the high word, signed; it travels in the window field.
        record.hwnd = static_cast<uint32_t>(static_cast<int32_t>(
            static_cast<int16_t>(static_cast<uint16_t>(mouse.mouseData >> 16))));
        return record;
    }
    if (code == msg::kXButtonDown || code == msg::kXButtonUp) {
        record.hwnd = HIWORD(mouse.mouseData);
        return record;
    }
    if (code == msg::kMouseMove || ButtonFlag(code) != 0) return record;
    return std::nullopt;
}

bool IsPacketKey(const EVENTMSG& record) {
    return IsKeyboardMessage(record.message) && (record.paramL & 0xFF) == VK_PACKET;
}

std::vector<INPUT> InputsOf(const EVENTMSG& record, const ScreenArea& screen) {
    if (record.message == msg::kMouseMove) return {PointerInput(record, screen, 0)};
    if (record.message == msg::kMouseWheel) return WheelInputs(record, screen, MOUSEEVENTF_WHEEL);
    if (record.message == msg::kMouseHWheel) {
        return WheelInputs(record, screen, MOUSEEVENTF_HWHEEL);
    }
    if (record.message == msg::kXButtonDown || record.message == msg::kXButtonUp) {
        return XButtonInputs(record, screen);
    }
    if (const DWORD button = ButtonFlag(record.message); button != 0) {
        return {PointerInput(record, screen, button)};
    }
    switch (record.message) {
        case msg::kKeyDown:
        case msg::kSysKeyDown:
            return {KeyInput(record, false)};
        case msg::kKeyUp:
        case msg::kSysKeyUp:
            return {KeyInput(record, true)};
        default:
            return {};
    }
}

ScreenArea DesktopOf(const std::vector<RECT>& monitors) {
    if (monitors.empty()) return ScreenArea{};
    RECT all = monitors.front();
    for (const RECT& monitor : monitors) {
        all.left = std::min(all.left, monitor.left);
        all.top = std::min(all.top, monitor.top);
        all.right = std::max(all.right, monitor.right);
        all.bottom = std::max(all.bottom, monitor.bottom);
    }
    return ScreenArea{all.left, all.top, std::max<int32_t>(all.right - all.left, 1),
                      std::max<int32_t>(all.bottom - all.top, 1)};
}

// The system maps a normalised coordinate n to origin + n * extent / 65536, rounded down;
// the smallest n that lands on the pixel is taken. Pixels off the screen go to its edge.
LONG NormalisedCoordinate(int32_t pixel, int32_t origin, int32_t extent) {
    if (extent <= 0) return 0;
    const int64_t offset = std::clamp<int64_t>(int64_t{pixel} - origin, 0, extent - 1);
    return static_cast<LONG>((offset * 65536 + extent - 1) / extent);
}

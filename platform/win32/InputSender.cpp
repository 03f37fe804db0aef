#include "platform/win32/InputSender.h"

#include "platform/win32/IntegrityLevel.h"
#include "platform/win32/PhysicalPixels.h"
#include "toolkit/Exception.h"

namespace {

constexpr const char* kHigherWindow =
    "前面のウィンドウは管理者として実行中のプログラムのもので、入力を受け付けません。"
    "再生を中止しました";

constexpr DWORD kReleasedBy[][2] = {
    {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP},
    {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP},
    {MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP},
    {MOUSEEVENTF_XDOWN, MOUSEEVENTF_XUP},
};

INPUT KeyRelease(WORD vk, WORD scan, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags | KEYEVENTF_KEYUP;
    input.ki.dwExtraInfo = kPlayedInputMark;
    return input;
}

}  // namespace

void InputSender::Prepare() {
    screen_ = PhysicalDesktop();
    ownLevel_ = IntegrityLevelOf(nullptr);
    foreground_ = nullptr;
    const std::optional<POINT> at = PhysicalCursorPosition();
    if (!at) return;
    EVENTMSG stay{msg::kMouseMove, static_cast<uint32_t>(at->x), static_cast<uint32_t>(at->y), 0,
                  0};
    std::vector<INPUT> inputs = InputsOf(stay, screen_);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void InputSender::Remember(const INPUT& input) {
    if (input.type == INPUT_KEYBOARD) {
        const DWORD flags = input.ki.dwFlags & ~KEYEVENTF_KEYUP;
        const auto key = std::make_tuple(input.ki.wVk, input.ki.wScan, flags);
        if ((input.ki.dwFlags & KEYEVENTF_KEYUP) != 0) {
            keys_.erase(key);
        } else {
            keys_.insert(key);
        }
        return;
    }
    for (const auto& [down, up] : kReleasedBy) {
        // The X buttons share their flags; the data tells which.
        const DWORD data = up == MOUSEEVENTF_XUP ? input.mi.mouseData : 0;
        if ((input.mi.dwFlags & down) != 0) buttons_.insert({up, data});
        if ((input.mi.dwFlags & up) != 0) buttons_.erase({up, data});
    }
}

void InputSender::Send(std::vector<INPUT>& inputs) {
    if (inputs.empty()) return;
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size() && refused_) refused_();
}

void InputSender::CheckForeground() {
    HWND front = GetForegroundWindow();
    if (front == foreground_) return;
    foreground_ = front;
    if (!InputWouldBeDropped(ownLevel_, IntegrityLevelOf(front))) return;
    if (refused_) refused_();
    throw Exception(kHigherWindow);
}

void InputSender::Apply(const EVENTMSG& record) {
    CheckForeground();
    std::vector<INPUT> inputs = InputsOf(record, screen_);
    for (const INPUT& input : inputs) Remember(input);
    Send(inputs);
}

void InputSender::ReleaseAll() {
    std::vector<INPUT> inputs;
    for (const auto& [vk, scan, flags] : keys_) inputs.push_back(KeyRelease(vk, scan, flags));
    for (const auto& [up, data] : buttons_) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = up;
        input.mi.mouseData = data;
        input.mi.dwExtraInfo = kPlayedInputMark;
        inputs.push_back(input);
    }
    keys_.clear();
    buttons_.clear();
    // A playback that ends has nobody left to tell of a refused release.
    if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

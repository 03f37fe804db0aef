#include "platform/win32/InputSender.h"

#include "toolkit/Exception.h"

namespace {

constexpr DWORD kReleasedBy[][2] = {
    {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP},
    {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP},
    {MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP},
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
    screen_ =
        ScreenArea{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                   GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    refused_ = false;
    POINT at{};
    if (!GetCursorPos(&at)) return;
    EVENTMSG stay{msg::kMouseMove, static_cast<uint32_t>(at.x), static_cast<uint32_t>(at.y), 0, 0};
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
        if ((input.mi.dwFlags & down) != 0) buttons_.insert(up);
        if ((input.mi.dwFlags & up) != 0) buttons_.erase(up);
    }
}

void InputSender::Send(std::vector<INPUT>& inputs) {
    if (inputs.empty()) return;
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent == inputs.size() || refused_) return;
    // Input into a program of higher integrity, or a secure desktop: said once a playback.
    refused_ = true;
    throw Exception("the system refused the played input (SendInput)");
}

void InputSender::Apply(const EVENTMSG& record) {
    std::vector<INPUT> inputs = InputsOf(record, screen_);
    for (const INPUT& input : inputs) Remember(input);
    Send(inputs);
}

void InputSender::ReleaseAll() {
    std::vector<INPUT> inputs;
    for (const auto& [vk, scan, flags] : keys_) inputs.push_back(KeyRelease(vk, scan, flags));
    for (DWORD up : buttons_) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = up;
        input.mi.dwExtraInfo = kPlayedInputMark;
        inputs.push_back(input);
    }
    keys_.clear();
    buttons_.clear();
    // A playback that ends has nobody left to tell of a refused release.
    if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

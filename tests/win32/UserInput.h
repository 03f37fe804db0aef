#pragma once
// Input as the user makes it, from outside the program under test: keys by virtual key and
// scan code, the pointer at a pixel of the primary screen, sent with SendInput (unmarked, so
// the program's own hooks take it for the user's).
#include <vector>

#include "platform/win32/WindowsApi.h"

inline INPUT UserKey(WORD vk, WORD scan, DWORD flags = 0) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan;
    input.ki.dwFlags = KEYEVENTF_SCANCODE | flags;
    return input;
}

inline INPUT UserPointer(int x, int y, DWORD flags = 0) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = (x * 65536 + width - 1) / width;
    input.mi.dy = (y * 65536 + height - 1) / height;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    return input;
}

// The user's Ctrl+Esc: left Ctrl held over a tap of Escape.
inline std::vector<INPUT> UserCtrlEsc() {
    return {UserKey(VK_LCONTROL, 0x1D), UserKey(VK_ESCAPE, 0x01),
            UserKey(VK_ESCAPE, 0x01, KEYEVENTF_KEYUP), UserKey(VK_LCONTROL, 0x1D, KEYEVENTF_KEYUP)};
}

// Whether the system took every entry.
inline bool SendUserInput(std::vector<INPUT> inputs) {
    const auto count = static_cast<UINT>(inputs.size());
    return SendInput(count, inputs.data(), sizeof(INPUT)) == count;
}

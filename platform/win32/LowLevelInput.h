#pragma once
// The emulated journal's translations, free of any system call so that they are tested on
// their own: what the low-level keyboard and mouse hooks report, as the journal's records;
// and a record, as the SendInput entries that play it.
#include <optional>
#include <vector>

#include "engine/EventMsg.h"
#include "platform/win32/WindowsApi.h"

// dwExtraInfo of every input the program plays itself, so that its own hooks know it.
inline constexpr ULONG_PTR kPlayedInputMark = 0x54574D52;  // "TWMR"

// A wheel record plays at most this many notches, whatever delta a damaged file holds.
inline constexpr int32_t kMaxWheelNotches = 20;

// The desktop that absolute pointer positions are measured against, in physical pixels.
struct ScreenArea {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 1;
    int32_t height = 1;
};

// Nothing for VK_PACKET: a character that the touch keyboard or an input method types, not a
// key, which the record's 8-bit key fields cannot carry.
std::optional<EVENTMSG> RecordOfKey(WPARAM message, const KBDLLHOOKSTRUCT& key);
// Whether a record of the system's journal is a VK_PACKET key, which recordings leave out.
bool IsPacketKey(const EVENTMSG& record);
// Moves, the five buttons and both wheels; nothing for anything else.
std::optional<EVENTMSG> RecordOfMouse(WPARAM message, const MSLLHOOKSTRUCT& mouse);

// The entries that play record, as the macro stores it: keys by scan code and extended flag
// (by the virtual-key code where the scan code is 0), the pointer on the recorded pixel.
std::vector<INPUT> InputsOf(const EVENTMSG& record, const ScreenArea& screen);

// The smallest area that holds every monitor.
ScreenArea DesktopOf(const std::vector<RECT>& monitors);

// The normalised absolute coordinate (0..65535) that the system maps back to pixel, on an
// axis that starts at origin and is extent pixels long.
LONG NormalisedCoordinate(int32_t pixel, int32_t origin, int32_t extent);

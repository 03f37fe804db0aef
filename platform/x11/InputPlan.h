#pragma once
// What one played record asks of the X server: pointer moves, button and key presses.
// Kept free of X calls so that the mapping from records to input is tested on its own.
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/EventMsg.h"
#include "platform/x11/KeyMapping.h"

struct InputAction {
    enum Kind { Motion, Button, Key } kind;
    uint32_t code = 0;  // button number, or X key code for Key
    bool press = false;
    int32_t x = 0;
    int32_t y = 0;
};

// A wheel record plays one notch for every 120 of its delta (none below one notch; see
// WheelCarry.h for the parts that add up), at most this many, whatever delta a damaged file
// holds.
inline constexpr int32_t kMaxWheelNotches = 20;

// Whether the keypad's digit keys give digits on the server now (NumLock and Shift).
using KeypadQuery = std::function<bool()>;

// The actions for a record as the macro stores it (the playback hook's unchanged copy):
// keys by scan code and extended flag; by the virtual-key code in the layout where the scan
// code is 0 or names no key (macros made by hand). A keypad digit key gives what its
// virtual-key code says, the digit or the navigation key: where keypadGivesDigits (asked for
// those keys only) says the server would give the other, NumLock is pressed and released
// before the key and again after it.
std::vector<InputAction> PlanInput(const EVENTMSG& record, KeyboardLayout layout,
                                   const KeypadQuery& keypadGivesDigits = {});

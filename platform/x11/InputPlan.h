#pragma once
// What one played record asks of the X server: pointer moves, button and key presses.
// Kept free of X calls so that the mapping from records to input is tested on its own.
#include <cstdint>
#include <vector>

#include "engine/EventMsg.h"

struct InputAction {
    enum Kind { Motion, Button, Key } kind;
    uint32_t code = 0;  // button number, or key symbol for Key
    bool press = false;
    int32_t x = 0;
    int32_t y = 0;
    // For Key: every symbol on the recorded key, code first; the player presses the first
    // one the current keyboard mapping has.
    std::vector<uint32_t> keysyms = {};
};

// The actions for a record as the playback hook hands it over: WM_KEYDOWN/WM_KEYUP with
// the key code alone in paramL and the scan code in paramH; the system-key messages in the
// stored layout (scan code in bits 8..15 of paramL, extended flag in bit 15 of paramH).
std::vector<InputAction> PlanInput(const EVENTMSG& record);

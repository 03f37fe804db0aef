#pragma once
// What a macro holds, for `info` and `check`: counts by kind, the playing time as playback
// computes it, keys and buttons left down, the pointer's rectangle, times going backwards.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/EventMsg.h"

struct MacroSummary {
    std::size_t records = 0;
    std::size_t trailingBytes = 0;
    std::size_t keys = 0;
    std::size_t moves = 0;
    std::size_t buttons = 0;
    std::size_t wheels = 0;
    std::size_t others = 0;  // messages the journal does not record as input
    uint64_t playingMilliseconds = 0;
    bool pointerSeen = false;
    int32_t left = 0, top = 0, right = 0, bottom = 0;  // inclusive
    std::vector<std::string> keysHeld;                 // key names, in the order they went down
    std::vector<std::string> buttonsHeld;              // "left", "right", "middle"
    std::vector<std::string> backwards;                // "record 12: 5000 ms after 5200 ms"
    std::vector<std::string> unknown;                  // "record 3: message 0x0113"
};

// percent: the time scale, 200 down to 10.
MacroSummary Summarise(const std::vector<uint8_t>& bytes, uint32_t percent);

// The time scale of a speed index of the command line: 0 is 200 %, 10 is 100 %, 19 is 10 %.
uint32_t PercentOfSpeedIndex(int index);

// A key's name in a summary: its virtual-key name with the scan code ("A (1E)").
std::string KeyLabel(const EVENTMSG& record);

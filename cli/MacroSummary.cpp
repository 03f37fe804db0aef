#include "cli/MacroSummary.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "cli/KeyNames.h"
#include "cli/MacroText.h"

namespace {

// The due time playback gives a record, from the start of the pass: stored time div 100
// times the percentage; a time before time 0 (wrapped) is due at once.
uint64_t DueTime(uint32_t stored, uint32_t percent) {
    if (static_cast<int32_t>(stored) < 0) return 0;
    return static_cast<uint64_t>(stored / 100) * percent;
}

// A physical key: the scan code with its extended flag, or the virtual-key code where a
// hand-made record has no scan code.
uint32_t KeyIdentity(const EVENTMSG& r) {
    const uint32_t scan = (r.paramL >> 8) & 0xFF;
    if (scan == 0) return 0x10000 | (r.paramL & 0xFF);
    return scan | ((r.paramH & 0x8000u) != 0 ? 0x100 : 0);
}

class Summariser {
  public:
    explicit Summariser(uint32_t percent) : percent_(percent) {}

    void Add(const EVENTMSG& r, std::size_t index) {
        Time(r, index);
        switch (r.message) {
            case msg::kKeyDown:
            case msg::kSysKeyDown:
            case msg::kKeyUp:
            case msg::kSysKeyUp:
                Key(r);
                return;
            case msg::kMouseMove:
                ++s_.moves;
                Point(r);
                return;
            case msg::kMouseWheel:
            case msg::kMouseHWheel:
                ++s_.wheels;
                Point(r);
                return;
            default:
                break;
        }
        if (Button(r)) return;
        ++s_.others;
        char text[64];
        std::snprintf(text, sizeof text, "record %zu: message 0x%04X", index + 1, r.message);
        s_.unknown.push_back(text);
    }

    MacroSummary Finish() {
        for (const auto& [order, label] : keysDown_) s_.keysHeld.push_back(label);
        for (const char* name : {"left", "right", "middle", "back", "forward", "X"}) {
            if (buttonsDown_.count(name) != 0) s_.buttonsHeld.push_back(name);
        }
        return s_;
    }

    MacroSummary s_;

  private:
    void Time(const EVENTMSG& r, std::size_t index) {
        // The first record goes out at once; each later one when it is due, never before
        // the one before it.
        if (index > 0)
            s_.playingMilliseconds = std::max(s_.playingMilliseconds, DueTime(r.time, percent_));
        if (index > 0 && r.time < previousTime_) {
            s_.backwards.push_back("record " + std::to_string(index + 1) + ": " +
                                   std::to_string(r.time) + " ms after " +
                                   std::to_string(previousTime_) + " ms");
        }
        previousTime_ = r.time;
    }

    void Key(const EVENTMSG& r) {
        ++s_.keys;
        const uint32_t key = KeyIdentity(r);
        const bool down = r.message == msg::kKeyDown || r.message == msg::kSysKeyDown;
        auto held = std::find_if(keysDown_.begin(), keysDown_.end(),
                                 [&](const auto& entry) { return entry.first == key; });
        if (down && held == keysDown_.end()) keysDown_.emplace_back(key, KeyLabel(r));
        if (!down && held != keysDown_.end()) keysDown_.erase(held);
    }

    bool Button(const EVENTMSG& r) {
        const char* name = nullptr;
        bool down = false;
        switch (r.message) {
            case msg::kLButtonDown:
                name = "left", down = true;
                break;
            case msg::kLButtonUp:
                name = "left";
                break;
            case msg::kRButtonDown:
                name = "right", down = true;
                break;
            case msg::kRButtonUp:
                name = "right";
                break;
            case msg::kMButtonDown:
                name = "middle", down = true;
                break;
            case msg::kMButtonUp:
                name = "middle";
                break;
            case msg::kXButtonDown:
            case msg::kXButtonUp:
                // The window field names the X button.
                name = r.hwnd == 1 ? "back" : r.hwnd == 2 ? "forward" : "X";
                down = r.message == msg::kXButtonDown;
                break;
            default:
                return false;
        }
        ++s_.buttons;
        Point(r);
        if (down) {
            buttonsDown_[name] = true;
        } else {
            buttonsDown_.erase(name);
        }
        return true;
    }

    void Point(const EVENTMSG& r) {
        const int32_t x = static_cast<int32_t>(r.paramL);
        const int32_t y = static_cast<int32_t>(r.paramH);
        if (!s_.pointerSeen) {
            s_.pointerSeen = true;
            s_.left = s_.right = x;
            s_.top = s_.bottom = y;
        }
        s_.left = std::min(s_.left, x);
        s_.right = std::max(s_.right, x);
        s_.top = std::min(s_.top, y);
        s_.bottom = std::max(s_.bottom, y);
    }

    uint32_t percent_;
    uint32_t previousTime_ = 0;
    std::vector<std::pair<uint32_t, std::string>> keysDown_;
    std::map<std::string, bool> buttonsDown_;
};

}  // namespace

std::string KeyLabel(const EVENTMSG& r) {
    const uint8_t vk = static_cast<uint8_t>(r.paramL);
    std::string_view name = VirtualKeyName(vk);
    char scan[16];
    std::snprintf(scan, sizeof scan, " (%02X%s)", (r.paramL >> 8) & 0xFF,
                  (r.paramH & 0x8000u) != 0 ? " ext" : "");
    return (name.empty() ? "vk " + std::to_string(vk) : std::string(name)) + scan;
}

uint32_t PercentOfSpeedIndex(int index) {
    return static_cast<uint32_t>(200 - 10 * index);
}

MacroSummary Summarise(const std::vector<uint8_t>& bytes, uint32_t percent) {
    Summariser summariser(percent);
    summariser.s_.records = bytes.size() / kEventMsgSize;
    summariser.s_.trailingBytes = bytes.size() % kEventMsgSize;
    for (std::size_t i = 0; i < summariser.s_.records; ++i) {
        summariser.Add(DecodeEvent(bytes.data() + i * kEventMsgSize), i);
    }
    return summariser.Finish();
}

#include "platform/win32/HeldKeys.h"

#include <algorithm>

namespace {

constexpr uint32_t kExtendedBit = 0x8000;

// A key is its virtual-key code, scan code and extended bit: left and right Ctrl are apart.
bool SameKey(const EVENTMSG& a, const EVENTMSG& b) {
    return (a.paramL & 0xFFFF) == (b.paramL & 0xFFFF) &&
           (a.paramH & kExtendedBit) == (b.paramH & kExtendedBit);
}

}  // namespace

void HeldKeys::Note(const EVENTMSG& record) {
    const bool down = record.message == msg::kKeyDown || record.message == msg::kSysKeyDown;
    const bool up = record.message == msg::kKeyUp || record.message == msg::kSysKeyUp;
    if (!down && !up) return;
    auto held = std::find_if(downs_.begin(), downs_.end(),
                             [&](const EVENTMSG& key) { return SameKey(key, record); });
    if (up && held != downs_.end()) downs_.erase(held);
    // A repeat leaves the key where it first went down.
    if (down && held == downs_.end()) downs_.push_back(record);
}

std::vector<EVENTMSG> HeldKeys::Release(uint32_t time) {
    std::vector<EVENTMSG> ups;
    for (auto key = downs_.rbegin(); key != downs_.rend(); ++key) {
        const uint32_t message = key->message == msg::kSysKeyDown ? msg::kSysKeyUp : msg::kKeyUp;
        ups.push_back(EVENTMSG{message, key->paramL, key->paramH, time, key->hwnd});
    }
    downs_.clear();
    return ups;
}

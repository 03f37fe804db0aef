#pragma once
// The journal's event record: five 32-bit fields, 20 bytes, little-endian wherever it is
// stored (in the macro stream and in macro files), whatever the host.
#include <cstddef>
#include <cstdint>

struct EVENTMSG {
    uint32_t message = 0;
    uint32_t paramL = 0;  // keyboard: virtual-key code in bits 0..7, scan code in bits 8..15
    uint32_t paramH = 0;
    uint32_t time = 0;  // milliseconds from the macro's time 0
    uint32_t hwnd = 0;  // window handle as the journal reported it; never interpreted

    friend bool operator==(const EVENTMSG&, const EVENTMSG&) = default;
};

inline constexpr std::size_t kEventMsgSize = 20;

// Input message numbers as the journal reports them.
namespace msg {
inline constexpr uint32_t kKeyFirst = 0x0100;
inline constexpr uint32_t kKeyDown = 0x0100;
inline constexpr uint32_t kKeyUp = 0x0101;
inline constexpr uint32_t kSysKeyDown = 0x0104;
inline constexpr uint32_t kSysKeyUp = 0x0105;
inline constexpr uint32_t kKeyLast = 0x0108;
inline constexpr uint32_t kMouseMove = 0x0200;
inline constexpr uint32_t kLButtonDown = 0x0201;
inline constexpr uint32_t kLButtonUp = 0x0202;
inline constexpr uint32_t kRButtonDown = 0x0204;
inline constexpr uint32_t kRButtonUp = 0x0205;
inline constexpr uint32_t kMButtonDown = 0x0207;
inline constexpr uint32_t kMButtonUp = 0x0208;
inline constexpr uint32_t kMouseWheel = 0x020A;
// The X buttons (Back, Forward): 1 or 2 in the record's window field, as the wheel's delta.
inline constexpr uint32_t kXButtonDown = 0x020B;
inline constexpr uint32_t kXButtonUp = 0x020C;
inline constexpr uint32_t kMouseHWheel = 0x020E;
inline constexpr uint32_t kCancelJournal = 0x004B;
}  // namespace msg

inline constexpr uint32_t kVkCancel = 3;  // the key code of Ctrl+Break

inline bool IsKeyboardMessage(uint32_t message) {
    return message >= msg::kKeyFirst && message <= msg::kKeyLast;
}

inline void StoreLE32(uint8_t* to, uint32_t value) {
    to[0] = static_cast<uint8_t>(value);
    to[1] = static_cast<uint8_t>(value >> 8);
    to[2] = static_cast<uint8_t>(value >> 16);
    to[3] = static_cast<uint8_t>(value >> 24);
}

inline uint32_t LoadLE32(const uint8_t* from) {
    return static_cast<uint32_t>(from[0]) | static_cast<uint32_t>(from[1]) << 8 |
           static_cast<uint32_t>(from[2]) << 16 | static_cast<uint32_t>(from[3]) << 24;
}

inline void EncodeEvent(const EVENTMSG& event, uint8_t* to) {
    StoreLE32(to, event.message);
    StoreLE32(to + 4, event.paramL);
    StoreLE32(to + 8, event.paramH);
    StoreLE32(to + 12, event.time);
    StoreLE32(to + 16, event.hwnd);
}

inline EVENTMSG DecodeEvent(const uint8_t* from) {
    return EVENTMSG{LoadLE32(from), LoadLE32(from + 4), LoadLE32(from + 8), LoadLE32(from + 12),
                    LoadLE32(from + 16)};
}

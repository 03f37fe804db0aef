#pragma once
// The harness's own reader and writer of the program's files, written from the file layout
// rather than shared with the program, so that the tests check the bytes independently:
//   .mcr  20-byte records, five little-endian 32-bit fields: message, paramL, paramH, time,
//         hwnd; keys as Windows messages with paramL = virtual key | scan code << 8 and
//         paramH = 1 (| 0x8000 for an extended key); mouse positions in paramL/paramH; the
//         wheel's signed delta in hwnd.
//   .mlf  one path per line, CR LF after each.
//   .ini  [SECTION] and key=value lines.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace wm {
constexpr uint32_t kKeyDown = 0x100;
constexpr uint32_t kKeyUp = 0x101;
constexpr uint32_t kSysKeyDown = 0x104;
constexpr uint32_t kSysKeyUp = 0x105;
constexpr uint32_t kMouseMove = 0x200;
constexpr uint32_t kLButtonDown = 0x201;
constexpr uint32_t kLButtonUp = 0x202;
constexpr uint32_t kRButtonDown = 0x204;
constexpr uint32_t kRButtonUp = 0x205;
constexpr uint32_t kMButtonDown = 0x207;
constexpr uint32_t kMButtonUp = 0x208;
constexpr uint32_t kMouseWheel = 0x20A;
constexpr uint32_t kXButtonDown = 0x20B;  // the button's number (1, 2) in the window field
constexpr uint32_t kXButtonUp = 0x20C;
}  // namespace wm

// Windows virtual keys and PC scan codes of the keys the tests use.
struct PcKey {
    uint8_t virtualKey;
    uint8_t scanCode;
    bool extended = false;
};
namespace pc {
constexpr PcKey kA{0x41, 0x1E};
constexpr PcKey kB{0x42, 0x30};
constexpr PcKey kC{0x43, 0x2E};
constexpr PcKey kD{0x44, 0x20};
constexpr PcKey kShift{0x10, 0x2A};
constexpr PcKey kControl{0x11, 0x1D};
constexpr PcKey kBreak{0x03, 0x46, true};
}  // namespace pc

struct MacroRecord {
    uint32_t message = 0;
    uint32_t paramL = 0;
    uint32_t paramH = 0;
    uint32_t time = 0;
    uint32_t hwnd = 0;

    bool IsKey() const { return message >= 0x100 && message <= 0x108; }
    uint8_t VirtualKey() const { return static_cast<uint8_t>(paramL & 0xFF); }
    uint8_t ScanCode() const { return static_cast<uint8_t>(paramL >> 8 & 0xFF); }
    std::string Describe() const;

    friend bool operator==(const MacroRecord&, const MacroRecord&) = default;
};

MacroRecord KeyRecord(uint32_t message, PcKey key, uint32_t time);
MacroRecord MoveRecord(int x, int y, uint32_t time);

// Nothing when the file cannot be read or its length is not a multiple of 20.
std::optional<std::vector<MacroRecord>> ReadMacroFile(const std::string& path);
bool WriteMacroFile(const std::string& path, const std::vector<MacroRecord>& records);
bool WriteMacroList(const std::string& path, const std::vector<std::string>& entries);

// section -> key -> value; nothing when the file cannot be read.
using IniValues = std::map<std::string, std::map<std::string, std::string>>;
std::optional<IniValues> ReadIniFile(const std::string& path);

std::string ReadWholeFile(const std::string& path);

#include "platform/x11/KeyMapping.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr uint32_t kEvdevOffset = 8;  // X key code = evdev code + 8
constexpr uint8_t kNone = kNoVirtualKey;
constexpr bool kExt = true;
constexpr bool kAlias = true;
constexpr uint32_t kPauseEvdev = 119;
constexpr uint32_t kPrintEvdev = 99;

// One physical key: its evdev code, its scan code and the virtual-key codes of the US and the
// Japanese layouts. An alias shares its scan code with another key (a USB and a PS/2 name for
// the same launch key); playback presses the other one.
struct KeyRow {
    uint8_t evdev;
    ScanKey scan;
    uint8_t us;
    uint8_t japanese;
    bool alias = false;
};

constexpr KeyRow Key(uint8_t evdev, uint8_t scan, uint8_t vk, bool extended = false) {
    return KeyRow{evdev, ScanKey{scan, extended}, vk, vk};
}

constexpr KeyRow Jis(uint8_t evdev, uint8_t scan, uint8_t us, uint8_t japanese) {
    return KeyRow{evdev, ScanKey{scan, false}, us, japanese};
}

// Scan codes as Windows takes them from the keys' HID usages; virtual-key codes of the US
// (type 4) and Japanese (type 8, 106/109 keys) keyboard tables. In key-code order, which is
// also the order a virtual-key code is looked up in: main keys before the keypad.
// clang-format off
constexpr KeyRow kKeys[] = {
    Key(1, 0x01, 0x1B),                           // Escape
    Key(2, 0x02, '1'), Key(3, 0x03, '2'), Key(4, 0x04, '3'), Key(5, 0x05, '4'),
    Key(6, 0x06, '5'), Key(7, 0x07, '6'), Key(8, 0x08, '7'), Key(9, 0x09, '8'),
    Key(10, 0x0A, '9'), Key(11, 0x0B, '0'),
    Key(12, 0x0C, 0xBD),                          // - (VK_OEM_MINUS)
    Jis(13, 0x0D, 0xBB, 0xDE),                    // = / ^ (VK_OEM_PLUS / VK_OEM_7)
    Key(14, 0x0E, 0x08), Key(15, 0x0F, 0x09),     // Backspace, Tab
    Key(16, 0x10, 'Q'), Key(17, 0x11, 'W'), Key(18, 0x12, 'E'), Key(19, 0x13, 'R'),
    Key(20, 0x14, 'T'), Key(21, 0x15, 'Y'), Key(22, 0x16, 'U'), Key(23, 0x17, 'I'),
    Key(24, 0x18, 'O'), Key(25, 0x19, 'P'),
    Jis(26, 0x1A, 0xDB, 0xC0),                    // [ / @ (VK_OEM_4 / VK_OEM_3)
    Jis(27, 0x1B, 0xDD, 0xDB),                    // ] / [ (VK_OEM_6 / VK_OEM_4)
    Key(28, 0x1C, 0x0D),                          // Enter
    Key(29, 0x1D, 0x11),                          // left Ctrl
    Key(30, 0x1E, 'A'), Key(31, 0x1F, 'S'), Key(32, 0x20, 'D'), Key(33, 0x21, 'F'),
    Key(34, 0x22, 'G'), Key(35, 0x23, 'H'), Key(36, 0x24, 'J'), Key(37, 0x25, 'K'),
    Key(38, 0x26, 'L'),
    Jis(39, 0x27, 0xBA, 0xBB),                    // ; (VK_OEM_1 / VK_OEM_PLUS)
    Jis(40, 0x28, 0xDE, 0xBA),                    // ' / : (VK_OEM_7 / VK_OEM_1)
    Jis(41, 0x29, 0xC0, 0xF3),                    // ` / Hankaku-Zenkaku (VK_DBE_SBCSCHAR)
    Key(42, 0x2A, 0x10),                          // left Shift
    Jis(43, 0x2B, 0xDC, 0xDD),                    // \ / ] (VK_OEM_5 / VK_OEM_6)
    Key(44, 0x2C, 'Z'), Key(45, 0x2D, 'X'), Key(46, 0x2E, 'C'), Key(47, 0x2F, 'V'),
    Key(48, 0x30, 'B'), Key(49, 0x31, 'N'), Key(50, 0x32, 'M'),
    Key(51, 0x33, 0xBC), Key(52, 0x34, 0xBE), Key(53, 0x35, 0xBF),  // , . /
    Key(54, 0x36, 0x10),                          // right Shift
    Key(55, 0x37, 0x6A),                          // keypad *
    Key(56, 0x38, 0x12),                          // left Alt
    Key(57, 0x39, 0x20),                          // Space
    Jis(58, 0x3A, 0x14, 0xF0),                    // Caps Lock / Eisu (VK_DBE_ALPHANUMERIC)
    Key(59, 0x3B, 0x70), Key(60, 0x3C, 0x71), Key(61, 0x3D, 0x72), Key(62, 0x3E, 0x73),
    Key(63, 0x3F, 0x74), Key(64, 0x40, 0x75), Key(65, 0x41, 0x76), Key(66, 0x42, 0x77),
    Key(67, 0x43, 0x78), Key(68, 0x44, 0x79),     // F1..F10
    Key(69, 0x45, 0x90, kExt),                    // Num Lock
    Key(70, 0x46, 0x91),                          // Scroll Lock
    // Keypad with NumLock off; the digits are in kNumpadDigits.
    Key(71, 0x47, 0x24), Key(72, 0x48, 0x26), Key(73, 0x49, 0x21), Key(74, 0x4A, 0x6D),
    Key(75, 0x4B, 0x25), Key(76, 0x4C, 0x0C), Key(77, 0x4D, 0x27), Key(78, 0x4E, 0x6B),
    Key(79, 0x4F, 0x23), Key(80, 0x50, 0x28), Key(81, 0x51, 0x22), Key(82, 0x52, 0x2D),
    Key(83, 0x53, 0x2E),
    Jis(86, 0x56, 0xE2, kNone),                   // ISO key beside left Shift (VK_OEM_102)
    Key(87, 0x57, 0x7A), Key(88, 0x58, 0x7B),     // F11, F12
    Jis(89, 0x73, 0xC1, 0xE2),                    // Ro (VK_ABNT_C1 / VK_OEM_102)
    Key(90, 0x78, kNone),                         // Katakana (LANG3)
    Key(91, 0x77, kNone),                         // Hiragana (LANG4)
    Jis(92, 0x79, kNone, 0x1C),                   // Henkan (VK_CONVERT)
    Jis(93, 0x70, kNone, 0xF2),                   // Hiragana/Katakana (VK_DBE_HIRAGANA)
    Jis(94, 0x7B, 0xEB, 0x1D),                    // Muhenkan (VK_OEM_PA1 / VK_NONCONVERT)
    Jis(95, 0x5C, 0xEA, 0xFC),                    // keypad JP comma (International6)
    Key(96, 0x1C, 0x0D, kExt),                    // keypad Enter
    Key(97, 0x1D, 0x11, kExt),                    // right Ctrl
    Key(98, 0x35, 0x6F, kExt),                    // keypad /
    Key(99, 0x37, 0x2C, kExt),                    // Print Screen (SysRq with Alt)
    Key(100, 0x38, 0x12, kExt),                   // right Alt, AltGr
    Key(102, 0x47, 0x24, kExt), Key(103, 0x48, 0x26, kExt),  // Home, Up
    Key(104, 0x49, 0x21, kExt), Key(105, 0x4B, 0x25, kExt),  // Page Up, Left
    Key(106, 0x4D, 0x27, kExt), Key(107, 0x4F, 0x23, kExt),  // Right, End
    Key(108, 0x50, 0x28, kExt), Key(109, 0x51, 0x22, kExt),  // Down, Page Down
    Key(110, 0x52, 0x2D, kExt), Key(111, 0x53, 0x2E, kExt),  // Insert, Delete
    Key(113, 0x20, 0xAD, kExt), Key(114, 0x2E, 0xAE, kExt),  // Mute, Volume Down
    Key(115, 0x30, 0xAF, kExt),                   // Volume Up
    Key(116, 0x5E, 0x5E, kExt),                   // Power
    Key(117, 0x59, 0x0C),                         // keypad =
    Key(119, 0x45, 0x13),                         // Pause (Break with Ctrl)
    Key(121, 0x7E, 0xC2),                         // keypad comma (VK_ABNT_C2)
    Key(122, 0xF2, kNone),                        // Hangul (LANG1)
    Key(123, 0xF1, kNone),                        // Hanja (LANG2)
    Jis(124, 0x7D, kNone, 0xDC),                  // Yen (VK_OEM_5)
    Key(125, 0x5B, 0x5B, kExt), Key(126, 0x5C, 0x5C, kExt),  // left, right Windows
    Key(127, 0x5D, 0x5D, kExt),                   // Application
    Key(128, 0x68, 0xA9, kExt),                   // browser Stop
    Key(140, 0x21, 0xB7, kExt),                   // Calculator
    Key(142, 0x5F, 0x5F, kExt),                   // Sleep
    Key(143, 0x63, kNone, kExt),                  // Wake Up
    KeyRow{144, {0x6B, kExt}, 0xB6, 0xB6, kAlias},  // File: My Computer of USB
    Key(155, 0x6C, 0xB4, kExt),                   // Mail
    Key(156, 0x66, 0xAB, kExt),                   // Favorites
    Key(157, 0x6B, 0xB6, kExt),                   // My Computer
    Key(158, 0x6A, 0xA6, kExt), Key(159, 0x69, 0xA7, kExt),  // browser Back, Forward
    Key(163, 0x19, 0xB0, kExt), Key(164, 0x22, 0xB3, kExt),  // next, play/pause
    Key(165, 0x10, 0xB1, kExt), Key(166, 0x24, 0xB2, kExt),  // previous, stop
    KeyRow{171, {0x6D, kExt}, 0xB5, 0xB5, kAlias},  // Config: Media of USB
    Key(172, 0x32, 0xAC, kExt),                   // browser Home
    Key(173, 0x67, 0xA8, kExt),                   // browser Refresh
    Key(183, 0x64, 0x7C), Key(184, 0x65, 0x7D), Key(185, 0x66, 0x7E), Key(186, 0x67, 0x7F),
    Key(187, 0x68, 0x80), Key(188, 0x69, 0x81), Key(189, 0x6A, 0x82), Key(190, 0x6B, 0x83),
    Key(191, 0x6C, 0x84), Key(192, 0x6D, 0x85), Key(193, 0x6E, 0x86),
    Key(194, 0x76, 0x87),                         // F13..F24
    Key(217, 0x65, 0xAA, kExt),                   // browser Search
    Key(226, 0x6D, 0xB5, kExt),                   // Media select
};
// clang-format on

struct NumpadDigit {
    uint8_t scan;
    uint8_t virtualKey;
};

constexpr NumpadDigit kNumpadDigits[] = {
    {0x52, 0x60}, {0x4F, 0x61}, {0x50, 0x62}, {0x51, 0x63}, {0x4B, 0x64}, {0x4C, 0x65},
    {0x4D, 0x66}, {0x47, 0x67}, {0x48, 0x68}, {0x49, 0x69}, {0x53, 0x6E},
};

// Codes that name a key of the table another way, in both layouts or in one.
struct Alias {
    uint8_t virtualKey;
    ScanKey scan;
    bool japaneseOnly;
};

constexpr Alias kAliases[] = {
    {0xA0, {0x2A, false}, false}, {0xA1, {0x36, false}, false},  // VK_LSHIFT, VK_RSHIFT
    {0xA2, {0x1D, false}, false}, {0xA3, {0x1D, kExt}, false},   // VK_LCONTROL, VK_RCONTROL
    {0xA4, {0x38, false}, false}, {0xA5, {0x38, kExt}, false},   // VK_LMENU, VK_RMENU
    {0x03, kBreakKey, false},                                    // VK_CANCEL
    {0x19, {0x29, false}, true},                                 // VK_KANJI: the IME toggle
    {0xF4, {0x29, false}, true},  // VK_DBE_DBCSCHAR: Hankaku/Zenkaku's other state
    {0xF1, {0x70, false}, true},  // VK_DBE_KATAKANA: Shift + Hiragana
};

const KeyRow* RowOfEvdev(uint32_t evdev) {
    auto found = std::ranges::find(kKeys, evdev, &KeyRow::evdev);
    return found == std::end(kKeys) ? nullptr : found;
}

uint8_t LayoutCode(const KeyRow& row, KeyboardLayout layout) {
    return layout == KeyboardLayout::Japanese ? row.japanese : row.us;
}

// The keypad's digit keys, whose navigation codes the navigation block has too.
bool IsNumpadDigit(ScanKey key) {
    return !key.extended && std::ranges::find(kNumpadDigits, key.code, &NumpadDigit::scan) !=
                                std::end(kNumpadDigits);
}

ScanKey ScanKeyOfTableCode(uint8_t virtualKey, KeyboardLayout layout) {
    // The keypad's navigation codes come last: Home is the navigation block's Home.
    for (bool keypad : {false, true}) {
        for (const KeyRow& row : kKeys) {
            if (IsNumpadDigit(row.scan) == keypad && LayoutCode(row, layout) == virtualKey) {
                return row.scan;
            }
        }
    }
    return {};
}

}  // namespace

ScanKey ScanKeyOfKeycode(uint32_t keycode) {
    if (keycode < kEvdevOffset) return {};
    const KeyRow* row = RowOfEvdev(keycode - kEvdevOffset);
    return row ? row->scan : ScanKey{};
}

uint32_t KeycodeOfScanKey(ScanKey key) {
    if (key == kBreakKey) return kPauseEvdev + kEvdevOffset;
    if (key == kSysRqKey) return kPrintEvdev + kEvdevOffset;
    if (key.code == 0) return 0;
    for (const KeyRow& row : kKeys) {
        if (row.scan == key && !row.alias) return row.evdev + kEvdevOffset;
    }
    return 0;
}

uint8_t VirtualKeyOf(ScanKey key, KeyboardLayout layout, bool numpadDigits) {
    if (key == kBreakKey) return 0x03;  // VK_CANCEL
    if (key == kSysRqKey) return 0x2C;  // VK_SNAPSHOT
    if (numpadDigits && IsNumpadDigit(key)) {
        return std::ranges::find(kNumpadDigits, key.code, &NumpadDigit::scan)->virtualKey;
    }
    for (const KeyRow& row : kKeys) {
        if (row.scan == key) return LayoutCode(row, layout);
    }
    return kNoVirtualKey;
}

std::optional<bool> KeypadDigitWanted(ScanKey key, uint8_t virtualKey) {
    if (!IsNumpadDigit(key)) return std::nullopt;
    if (virtualKey == VirtualKeyOf(key, KeyboardLayout::Us, true)) return true;
    if (virtualKey == VirtualKeyOf(key, KeyboardLayout::Us, false)) return false;
    return std::nullopt;
}

ScanKey ScanKeyOfVirtualKey(uint8_t virtualKey, KeyboardLayout layout) {
    if (virtualKey == 0 || virtualKey == kNoVirtualKey) return {};
    for (const Alias& alias : kAliases) {
        bool applies = !alias.japaneseOnly || layout == KeyboardLayout::Japanese;
        if (alias.virtualKey == virtualKey && applies) return alias.scan;
    }
    for (const NumpadDigit& digit : kNumpadDigits) {
        if (digit.virtualKey == virtualKey) return ScanKey{digit.scan, false};
    }
    return ScanKeyOfTableCode(virtualKey, layout);
}

KeyboardLayout LayoutOfMapping(const std::function<uint32_t(uint32_t keycode)>& keysymOf) {
    constexpr uint32_t kRightOfP = 26 + kEvdevOffset;       // [ on a US keyboard
    constexpr uint32_t kRightOfLPlus1 = 40 + kEvdevOffset;  // '
    constexpr uint32_t kAt = 0x40;                          // XK_at
    constexpr uint32_t kColon = 0x3A;                       // XK_colon
    bool jis = keysymOf(kRightOfP) == kAt && keysymOf(kRightOfLPlus1) == kColon;
    return jis ? KeyboardLayout::Japanese : KeyboardLayout::Us;
}

uint32_t KeyParamL(const WindowsKey& key) {
    return key.virtualKey | static_cast<uint32_t>(key.scanCode) << 8;
}

uint32_t KeyParamH(const WindowsKey& key) {
    constexpr uint32_t kExtendedBit = 0x8000;
    return 1u | (key.extended ? kExtendedBit : 0u);
}

WindowsKey WindowsKeyFromParams(uint32_t paramL, uint32_t paramH) {
    return WindowsKey{static_cast<uint8_t>(paramL & 0xFF),
                      static_cast<uint8_t>((paramL >> 8) & 0xFF), (paramH & 0x8000) != 0};
}

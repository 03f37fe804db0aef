// Physical keys: X key codes to scan codes and back, and the virtual-key codes of the US and
// Japanese layouts. The expected codes are Windows' own: the "Scan 1 Make" column of the
// keyboard-input overview (scan codes by HID usage), the virtual-key code list, and the
// type 4 (101/102-key) and type 8 (Japanese 106/109-key) tables of the keyboard-layout kit.
#include "platform/x11/KeyMapping.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <ostream>

#include "EvdevKeycode.h"

// Readable failure messages; found by gtest through argument-dependent lookup.
void PrintTo(const ScanKey& key, std::ostream* out) {
    *out << std::hex << "{scan 0x" << int{key.code} << (key.extended ? ", extended}" : "}");
}

void PrintTo(const WindowsKey& key, std::ostream* out) {
    *out << std::hex << "{vk 0x" << int{key.virtualKey} << ", scan 0x" << int{key.scanCode}
         << (key.extended ? ", extended}" : "}");
}

namespace {

constexpr bool kExt = true;
constexpr uint8_t kNone = 0xFF;

struct DocumentedKey {
    const char* name;
    uint32_t evdev;
    ScanKey scan;
    uint8_t us;        // virtual-key code, US layout (NumLock off for the keypad)
    uint8_t japanese;  // virtual-key code, Japanese layout
};

// Every row of Windows' scan-code table that a Japanese or a US keyboard has, or that the
// old symbol table got wrong; the keypad in its NumLock-off codes.
const DocumentedKey kDocumented[] = {
    {"Escape", KEY_ESC, {0x01}, 0x1B, 0x1B},
    {"2 @ / 2 \"", KEY_2, {0x03}, '2', '2'},
    {"6 ^ / 6 &", KEY_6, {0x07}, '6', '6'},
    {"- _ / - =", KEY_MINUS, {0x0C}, 0xBD, 0xBD},
    {"= + / ^ ~", KEY_EQUAL, {0x0D}, 0xBB, 0xDE},
    {"Q", KEY_Q, {0x10}, 'Q', 'Q'},
    {"[ { / @ `", KEY_LEFTBRACE, {0x1A}, 0xDB, 0xC0},
    {"] } / [ {", KEY_RIGHTBRACE, {0x1B}, 0xDD, 0xDB},
    {"Enter", KEY_ENTER, {0x1C}, 0x0D, 0x0D},
    {"left Ctrl", KEY_LEFTCTRL, {0x1D}, 0x11, 0x11},
    {"A", KEY_A, {0x1E}, 'A', 'A'},
    {"; : / ; +", KEY_SEMICOLON, {0x27}, 0xBA, 0xBB},
    {"' \" / : *", KEY_APOSTROPHE, {0x28}, 0xDE, 0xBA},
    {"` ~ / Hankaku-Zenkaku", KEY_GRAVE, {0x29}, 0xC0, 0xF3},
    {"left Shift", KEY_LEFTSHIFT, {0x2A}, 0x10, 0x10},
    {"\\ | / ] }", KEY_BACKSLASH, {0x2B}, 0xDC, 0xDD},
    {"Z", KEY_Z, {0x2C}, 'Z', 'Z'},
    {"/ ?", KEY_SLASH, {0x35}, 0xBF, 0xBF},
    {"right Shift", KEY_RIGHTSHIFT, {0x36}, 0x10, 0x10},
    {"keypad *", KEY_KPASTERISK, {0x37}, 0x6A, 0x6A},
    {"left Alt", KEY_LEFTALT, {0x38}, 0x12, 0x12},
    {"Caps Lock / Eisu", KEY_CAPSLOCK, {0x3A}, 0x14, 0xF0},
    {"F1", KEY_F1, {0x3B}, 0x70, 0x70},
    {"F10", KEY_F10, {0x44}, 0x79, 0x79},
    {"Num Lock", KEY_NUMLOCK, {0x45, kExt}, 0x90, 0x90},
    {"Scroll Lock", KEY_SCROLLLOCK, {0x46}, 0x91, 0x91},
    {"keypad 7 Home", KEY_KP7, {0x47}, 0x24, 0x24},
    {"keypad -", KEY_KPMINUS, {0x4A}, 0x6D, 0x6D},
    {"keypad 5", KEY_KP5, {0x4C}, 0x0C, 0x0C},
    {"keypad +", KEY_KPPLUS, {0x4E}, 0x6B, 0x6B},
    {"keypad 0 Ins", KEY_KP0, {0x52}, 0x2D, 0x2D},
    {"keypad . Del", KEY_KPDOT, {0x53}, 0x2E, 0x2E},
    {"ISO \\ |", KEY_102ND, {0x56}, 0xE2, kNone},
    {"F11", KEY_F11, {0x57}, 0x7A, 0x7A},
    {"F12", KEY_F12, {0x58}, 0x7B, 0x7B},
    {"keypad =", KEY_KPEQUAL, {0x59}, 0x0C, 0x0C},
    {"F13", KEY_F13, {0x64}, 0x7C, 0x7C},
    {"F23", KEY_F23, {0x6E}, 0x86, 0x86},
    {"F24", KEY_F24, {0x76}, 0x87, 0x87},
    {"Hiragana/Katakana (International2)", KEY_KATAKANAHIRAGANA, {0x70}, kNone, 0xF2},
    {"Ro \\ _ (International1)", KEY_RO, {0x73}, 0xC1, 0xE2},
    {"Henkan (International4)", KEY_HENKAN, {0x79}, kNone, 0x1C},
    {"Muhenkan (International5)", KEY_MUHENKAN, {0x7B}, 0xEB, 0x1D},
    {"Yen | (International3)", KEY_YEN, {0x7D}, kNone, 0xDC},
    {"keypad comma (Brazil)", KEY_KPCOMMA, {0x7E}, 0xC2, 0xC2},
    {"Hangul (LANG1)", KEY_HANGEUL, {0xF2}, kNone, kNone},
    {"Hanja (LANG2)", KEY_HANJA, {0xF1}, kNone, kNone},
    {"keypad Enter", KEY_KPENTER, {0x1C, kExt}, 0x0D, 0x0D},
    {"right Ctrl", KEY_RIGHTCTRL, {0x1D, kExt}, 0x11, 0x11},
    {"keypad /", KEY_KPSLASH, {0x35, kExt}, 0x6F, 0x6F},
    {"Print Screen", KEY_SYSRQ, {0x37, kExt}, 0x2C, 0x2C},
    {"right Alt", KEY_RIGHTALT, {0x38, kExt}, 0x12, 0x12},
    {"Pause", KEY_PAUSE, {0x45}, 0x13, 0x13},
    {"Home", KEY_HOME, {0x47, kExt}, 0x24, 0x24},
    {"Insert", KEY_INSERT, {0x52, kExt}, 0x2D, 0x2D},
    {"Delete", KEY_DELETE, {0x53, kExt}, 0x2E, 0x2E},
    {"left Windows", KEY_LEFTMETA, {0x5B, kExt}, 0x5B, 0x5B},
    {"Application", KEY_COMPOSE, {0x5D, kExt}, 0x5D, 0x5D},
    {"Power", KEY_POWER, {0x5E, kExt}, 0x5E, 0x5E},
    {"Sleep", KEY_SLEEP, {0x5F, kExt}, 0x5F, 0x5F},
    {"Wake", KEY_WAKEUP, {0x63, kExt}, kNone, kNone},
    {"previous track", KEY_PREVIOUSSONG, {0x10, kExt}, 0xB1, 0xB1},
    {"next track", KEY_NEXTSONG, {0x19, kExt}, 0xB0, 0xB0},
    {"mute", KEY_MUTE, {0x20, kExt}, 0xAD, 0xAD},
    {"calculator", KEY_CALC, {0x21, kExt}, 0xB7, 0xB7},
    {"play/pause", KEY_PLAYPAUSE, {0x22, kExt}, 0xB3, 0xB3},
    {"stop", KEY_STOPCD, {0x24, kExt}, 0xB2, 0xB2},
    {"volume down", KEY_VOLUMEDOWN, {0x2E, kExt}, 0xAE, 0xAE},
    {"volume up", KEY_VOLUMEUP, {0x30, kExt}, 0xAF, 0xAF},
    {"browser home", KEY_HOMEPAGE, {0x32, kExt}, 0xAC, 0xAC},
    {"browser search", KEY_SEARCH, {0x65, kExt}, 0xAA, 0xAA},
    {"browser favorites", KEY_BOOKMARKS, {0x66, kExt}, 0xAB, 0xAB},
    {"browser refresh", KEY_REFRESH, {0x67, kExt}, 0xA8, 0xA8},
    {"browser stop", KEY_STOP, {0x68, kExt}, 0xA9, 0xA9},
    {"browser forward", KEY_FORWARD, {0x69, kExt}, 0xA7, 0xA7},
    {"browser back", KEY_BACK, {0x6A, kExt}, 0xA6, 0xA6},
    {"my computer", KEY_COMPUTER, {0x6B, kExt}, 0xB6, 0xB6},
    {"mail", KEY_MAIL, {0x6C, kExt}, 0xB4, 0xB4},
    {"media select", KEY_MEDIA, {0x6D, kExt}, 0xB5, 0xB5},
};

TEST(KeyMappingTest, KeysHaveWindowsScanAndVirtualKeyCodesAndPlayBackOnThemselves) {
    for (const DocumentedKey& key : kDocumented) {
        SCOPED_TRACE(key.name);
        EXPECT_EQ(ScanKeyOfKeycode(Keycode(key.evdev)), key.scan);
        EXPECT_EQ(VirtualKeyOf(key.scan, KeyboardLayout::Us, false), key.us);
        EXPECT_EQ(VirtualKeyOf(key.scan, KeyboardLayout::Japanese, false), key.japanese);
        EXPECT_EQ(KeycodeOfScanKey(key.scan), Keycode(key.evdev));
    }
}

TEST(KeyMappingTest, NumLockTurnsTheKeypadIntoDigitsOnly) {
    const std::map<uint32_t, uint8_t> digits = {{KEY_KP0, 0x60}, {KEY_KP1, 0x61},  {KEY_KP2, 0x62},
                                                {KEY_KP3, 0x63}, {KEY_KP4, 0x64},  {KEY_KP5, 0x65},
                                                {KEY_KP6, 0x66}, {KEY_KP7, 0x67},  {KEY_KP8, 0x68},
                                                {KEY_KP9, 0x69}, {KEY_KPDOT, 0x6E}};
    for (auto [evdev, virtualKey] : digits) {
        ScanKey scan = ScanKeyOfKeycode(Keycode(evdev));
        EXPECT_EQ(VirtualKeyOf(scan, KeyboardLayout::Us, true), virtualKey) << evdev;
        EXPECT_EQ(VirtualKeyOf(scan, KeyboardLayout::Japanese, true), virtualKey) << evdev;
    }
    // The navigation block and the keypad operators keep their codes.
    for (uint32_t evdev : {KEY_HOME, KEY_DELETE, KEY_KPMINUS, KEY_KPSLASH, KEY_KPENTER}) {
        ScanKey scan = ScanKeyOfKeycode(Keycode(evdev));
        EXPECT_EQ(VirtualKeyOf(scan, KeyboardLayout::Us, true),
                  VirtualKeyOf(scan, KeyboardLayout::Us, false));
    }
}

TEST(KeyMappingTest, BreakAndSysRqAreThePauseAndPrintKeys) {
    EXPECT_EQ(VirtualKeyOf(kBreakKey, KeyboardLayout::Us, false), 0x03);  // VK_CANCEL
    EXPECT_EQ(VirtualKeyOf(kSysRqKey, KeyboardLayout::Japanese, false), 0x2C);
    EXPECT_EQ(KeycodeOfScanKey(kBreakKey), Keycode(KEY_PAUSE));
    EXPECT_EQ(KeycodeOfScanKey(kSysRqKey), Keycode(KEY_SYSRQ));
    // Scroll Lock shares Break's code without the flag, Pause shares Num Lock's.
    EXPECT_EQ(KeycodeOfScanKey({0x46}), Keycode(KEY_SCROLLLOCK));
    EXPECT_EQ(KeycodeOfScanKey({0x45}), Keycode(KEY_PAUSE));
    EXPECT_EQ(KeycodeOfScanKey({0x45, kExt}), Keycode(KEY_NUMLOCK));
}

TEST(KeyMappingTest, KeysWithoutAPcScanCodeHaveNone) {
    for (uint32_t keycode : {0u, 7u, Keycode(84), Keycode(KEY_PROG1), Keycode(KEY_BRIGHTNESSUP),
                             Keycode(KEY_KPLEFTPAREN), 255u, 300u}) {
        EXPECT_EQ(ScanKeyOfKeycode(keycode), ScanKey{}) << keycode;
    }
    for (ScanKey unknown : {ScanKey{0x00}, ScanKey{0x55}, ScanKey{0x1E, kExt}, ScanKey{0xFF}}) {
        EXPECT_EQ(KeycodeOfScanKey(unknown), 0u) << int{unknown.code};
    }
}

// Macros made by hand may carry only the virtual-key code.
TEST(KeyMappingTest, VirtualKeysAloneFindTheirKeyInTheLayout) {
    struct Case {
        uint8_t virtualKey;
        KeyboardLayout layout;
        uint32_t evdev;
    };
    const Case cases[] = {
        {'A', KeyboardLayout::Us, KEY_A},
        {0x0D, KeyboardLayout::Us, KEY_ENTER},
        {0x11, KeyboardLayout::Us, KEY_LEFTCTRL},
        {0xA3, KeyboardLayout::Us, KEY_RIGHTCTRL},   // VK_RCONTROL
        {0xA5, KeyboardLayout::Us, KEY_RIGHTALT},    // VK_RMENU
        {0xA1, KeyboardLayout::Us, KEY_RIGHTSHIFT},  // VK_RSHIFT
        {0x24, KeyboardLayout::Us, KEY_HOME},        // the navigation block, not keypad 7
        {0x67, KeyboardLayout::Us, KEY_KP7},         // VK_NUMPAD7
        {0x6E, KeyboardLayout::Japanese, KEY_KPDOT},
        {0x03, KeyboardLayout::Us, KEY_PAUSE},            // VK_CANCEL
        {0xC0, KeyboardLayout::Us, KEY_GRAVE},            // VK_OEM_3
        {0xC0, KeyboardLayout::Japanese, KEY_LEFTBRACE},  // VK_OEM_3 is @ there
        {0xE2, KeyboardLayout::Japanese, KEY_RO},         // VK_OEM_102
        {0xDC, KeyboardLayout::Japanese, KEY_YEN},        // VK_OEM_5
        {0xF4, KeyboardLayout::Japanese, KEY_GRAVE},      // Hankaku-Zenkaku's other code
        {0x19, KeyboardLayout::Japanese, KEY_GRAVE},      // VK_KANJI
    };
    for (const Case& c : cases) {
        ScanKey scan = ScanKeyOfVirtualKey(c.virtualKey, c.layout);
        EXPECT_EQ(KeycodeOfScanKey(scan), Keycode(c.evdev)) << std::hex << int{c.virtualKey};
    }
    for (uint8_t unknown : {0x00, 0x07, 0xFF}) {
        EXPECT_EQ(ScanKeyOfVirtualKey(unknown, KeyboardLayout::Us), ScanKey{}) << int{unknown};
    }
    EXPECT_EQ(ScanKeyOfVirtualKey(0x19, KeyboardLayout::Us), ScanKey{});
}

TEST(KeyMappingTest, JisMappingsFollowTheJapaneseLayout) {
    std::map<uint32_t, uint32_t> symbols = {{Keycode(KEY_LEFTBRACE), '['},
                                            {Keycode(KEY_APOSTROPHE), '\''}};
    auto keysymOf = [&symbols](uint32_t keycode) { return symbols[keycode]; };
    EXPECT_EQ(LayoutOfMapping(keysymOf), KeyboardLayout::Us);
    symbols = {{Keycode(KEY_LEFTBRACE), '@'}, {Keycode(KEY_APOSTROPHE), ':'}};
    EXPECT_EQ(LayoutOfMapping(keysymOf), KeyboardLayout::Japanese);
}

TEST(KeyMappingTest, ParametersFollowTheJournalLayout) {
    struct Case {
        WindowsKey key;
        uint32_t paramL;
        uint32_t paramH;
    };
    const Case cases[] = {
        {{'A', 0x1E, false}, 0x1E41, 0x0001},
        {{0x11, 0x1D, kExt}, 0x1D11, 0x8001},
        {{0x03, 0x46, kExt}, 0x4603, 0x8001},
        {{0xFF, 0xFF, kExt}, 0xFFFF, 0x8001},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeyParamL(c.key), c.paramL);
        EXPECT_EQ(KeyParamH(c.key), c.paramH);
        EXPECT_EQ(WindowsKeyFromParams(c.paramL, c.paramH), c.key);
    }
    // Bits outside the key fields are ignored.
    EXPECT_EQ(WindowsKeyFromParams(0xABCD1E41, 0x7FFF), (WindowsKey{'A', 0x1E, false}));
    EXPECT_EQ(WindowsKeyFromParams(0x00001D11, 0xC0018000), (WindowsKey{0x11, 0x1D, kExt}));
}

}  // namespace

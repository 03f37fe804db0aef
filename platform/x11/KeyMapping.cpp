#include "platform/x11/KeyMapping.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <algorithm>
#include <iterator>

namespace {

// Windows virtual-key codes used below by name; letters and digits are their ASCII codes.
enum : uint8_t {
    kVkCancel = 0x03,
    kVkBack = 0x08,
    kVkTab = 0x09,
    kVkClear = 0x0C,
    kVkReturn = 0x0D,
    kVkShift = 0x10,
    kVkControl = 0x11,
    kVkMenu = 0x12,
    kVkPause = 0x13,
    kVkCapital = 0x14,
    kVkKanji = 0x19,
    kVkConvert = 0x1C,
    kVkNonConvert = 0x1D,
    kVkEscape = 0x1B,
    kVkSpace = 0x20,
    kVkPrior = 0x21,
    kVkNext = 0x22,
    kVkEnd = 0x23,
    kVkHome = 0x24,
    kVkLeft = 0x25,
    kVkUp = 0x26,
    kVkRight = 0x27,
    kVkDown = 0x28,
    kVkSnapshot = 0x2C,
    kVkInsert = 0x2D,
    kVkDelete = 0x2E,
    kVkLWin = 0x5B,
    kVkRWin = 0x5C,
    kVkApps = 0x5D,
    kVkSleep = 0x5F,
    kVkNumpad0 = 0x60,
    kVkMultiply = 0x6A,
    kVkAdd = 0x6B,
    kVkSubtract = 0x6D,
    kVkDecimal = 0x6E,
    kVkDivide = 0x6F,
    kVkF1 = 0x70,
    kVkNumLock = 0x90,
    kVkScroll = 0x91,
    kVkLShift = 0xA0,
    kVkRShift = 0xA1,
    kVkLControl = 0xA2,
    kVkRControl = 0xA3,
    kVkLMenu = 0xA4,
    kVkRMenu = 0xA5,
    kVkOem1 = 0xBA,
    kVkOemPlus = 0xBB,
    kVkOemComma = 0xBC,
    kVkOemMinus = 0xBD,
    kVkOemPeriod = 0xBE,
    kVkOem2 = 0xBF,
    kVkOem3 = 0xC0,
    kVkOem4 = 0xDB,
    kVkOem5 = 0xDC,
    kVkOem6 = 0xDD,
    kVkOem7 = 0xDE,
    kVkOem102 = 0xE2,
    kVkEisu = 0xF0,
    kVkHiragana = 0xF2,
    kVkOemAuto = 0xF3,
    kVkOemEnlw = 0xF4,
};

constexpr bool kExt = true;

constexpr KeyRow Row(uint8_t vk, uint8_t scan, bool extended, uint32_t first, uint32_t second = 0,
                     uint32_t third = 0, uint32_t fourth = 0) {
    return KeyRow{WindowsKey{vk, scan, extended}, {first, second, third, fourth}};
}

// Scan codes are those of a US PC keyboard (set 1); the Japanese keys are those of a
// 106/109-key keyboard. Zenkaku/Hankaku is VK_KANJI, the code a Japanese IME takes as its
// on/off toggle: its journal codes VK_OEM_AUTO/VK_OEM_ENLW name the IME's current mode
// rather than the key, and are read back as this key (see kAliases).
constexpr KeyRow kRows[] = {
    // Letters.
    Row('A', 0x1E, false, XK_a, XK_A),
    Row('B', 0x30, false, XK_b, XK_B),
    Row('C', 0x2E, false, XK_c, XK_C),
    Row('D', 0x20, false, XK_d, XK_D),
    Row('E', 0x12, false, XK_e, XK_E),
    Row('F', 0x21, false, XK_f, XK_F),
    Row('G', 0x22, false, XK_g, XK_G),
    Row('H', 0x23, false, XK_h, XK_H),
    Row('I', 0x17, false, XK_i, XK_I),
    Row('J', 0x24, false, XK_j, XK_J),
    Row('K', 0x25, false, XK_k, XK_K),
    Row('L', 0x26, false, XK_l, XK_L),
    Row('M', 0x32, false, XK_m, XK_M),
    Row('N', 0x31, false, XK_n, XK_N),
    Row('O', 0x18, false, XK_o, XK_O),
    Row('P', 0x19, false, XK_p, XK_P),
    Row('Q', 0x10, false, XK_q, XK_Q),
    Row('R', 0x13, false, XK_r, XK_R),
    Row('S', 0x1F, false, XK_s, XK_S),
    Row('T', 0x14, false, XK_t, XK_T),
    Row('U', 0x16, false, XK_u, XK_U),
    Row('V', 0x2F, false, XK_v, XK_V),
    Row('W', 0x11, false, XK_w, XK_W),
    Row('X', 0x2D, false, XK_x, XK_X),
    Row('Y', 0x15, false, XK_y, XK_Y),
    Row('Z', 0x2C, false, XK_z, XK_Z),
    // Digit row with the US shifted symbols.
    Row('1', 0x02, false, XK_1, XK_exclam),
    Row('2', 0x03, false, XK_2, XK_at),
    Row('3', 0x04, false, XK_3, XK_numbersign),
    Row('4', 0x05, false, XK_4, XK_dollar),
    Row('5', 0x06, false, XK_5, XK_percent),
    Row('6', 0x07, false, XK_6, XK_asciicircum),
    Row('7', 0x08, false, XK_7, XK_ampersand),
    Row('8', 0x09, false, XK_8, XK_asterisk),
    Row('9', 0x0A, false, XK_9, XK_parenleft),
    Row('0', 0x0B, false, XK_0, XK_parenright),
    // Punctuation of a US layout, and the ISO key beside left Shift.
    Row(kVkOem1, 0x27, false, XK_semicolon, XK_colon),
    Row(kVkOemPlus, 0x0D, false, XK_equal, XK_plus),
    Row(kVkOemComma, 0x33, false, XK_comma),
    Row(kVkOemMinus, 0x0C, false, XK_minus, XK_underscore),
    Row(kVkOemPeriod, 0x34, false, XK_period),
    Row(kVkOem2, 0x35, false, XK_slash, XK_question),
    Row(kVkOem3, 0x29, false, XK_grave, XK_asciitilde),
    Row(kVkOem4, 0x1A, false, XK_bracketleft, XK_braceleft),
    Row(kVkOem5, 0x2B, false, XK_backslash, XK_bar),
    Row(kVkOem6, 0x1B, false, XK_bracketright, XK_braceright),
    Row(kVkOem7, 0x28, false, XK_apostrophe, XK_quotedbl),
    Row(kVkOem102, 0x56, false, XK_less, XK_greater),
    // Function keys.
    Row(kVkF1 + 0, 0x3B, false, XK_F1),
    Row(kVkF1 + 1, 0x3C, false, XK_F2),
    Row(kVkF1 + 2, 0x3D, false, XK_F3),
    Row(kVkF1 + 3, 0x3E, false, XK_F4),
    Row(kVkF1 + 4, 0x3F, false, XK_F5),
    Row(kVkF1 + 5, 0x40, false, XK_F6),
    Row(kVkF1 + 6, 0x41, false, XK_F7),
    Row(kVkF1 + 7, 0x42, false, XK_F8),
    Row(kVkF1 + 8, 0x43, false, XK_F9),
    Row(kVkF1 + 9, 0x44, false, XK_F10),
    Row(kVkF1 + 10, 0x57, false, XK_F11),
    Row(kVkF1 + 11, 0x58, false, XK_F12),
    Row(kVkF1 + 12, 0x64, false, XK_F13),
    Row(kVkF1 + 13, 0x65, false, XK_F14),
    Row(kVkF1 + 14, 0x66, false, XK_F15),
    Row(kVkF1 + 15, 0x67, false, XK_F16),
    Row(kVkF1 + 16, 0x68, false, XK_F17),
    Row(kVkF1 + 17, 0x69, false, XK_F18),
    Row(kVkF1 + 18, 0x6A, false, XK_F19),
    Row(kVkF1 + 19, 0x6B, false, XK_F20),
    Row(kVkF1 + 20, 0x6C, false, XK_F21),
    Row(kVkF1 + 21, 0x6D, false, XK_F22),
    Row(kVkF1 + 22, 0x6E, false, XK_F23),
    Row(kVkF1 + 23, 0x76, false, XK_F24),
    // Editing and whitespace.
    Row(kVkEscape, 0x01, false, XK_Escape),
    Row(kVkTab, 0x0F, false, XK_Tab, XK_ISO_Left_Tab),
    Row(kVkBack, 0x0E, false, XK_BackSpace),
    Row(kVkReturn, 0x1C, false, XK_Return),
    Row(kVkSpace, 0x39, false, XK_space),
    // Modifiers. Journals report the generic Shift/Ctrl/Alt codes; right Ctrl and right
    // Alt (AltGr) are extended.
    Row(kVkShift, 0x2A, false, XK_Shift_L),
    Row(kVkShift, 0x36, false, XK_Shift_R),
    Row(kVkControl, 0x1D, false, XK_Control_L),
    Row(kVkControl, 0x1D, kExt, XK_Control_R),
    Row(kVkMenu, 0x38, false, XK_Alt_L, XK_Meta_L),
    Row(kVkMenu, 0x38, kExt, XK_Alt_R, XK_ISO_Level3_Shift, XK_Mode_switch, XK_Meta_R),
    Row(kVkLWin, 0x5B, kExt, XK_Super_L),
    Row(kVkRWin, 0x5C, kExt, XK_Super_R),
    Row(kVkApps, 0x5D, kExt, XK_Menu),
    // Locks, Pause/Break, Print. NumLock shares Pause's scan code but is extended.
    Row(kVkCapital, 0x3A, false, XK_Caps_Lock),
    Row(kVkNumLock, 0x45, kExt, XK_Num_Lock),
    Row(kVkScroll, 0x46, false, XK_Scroll_Lock),
    Row(kVkPause, 0x45, false, XK_Pause),
    Row(kVkCancel, 0x46, kExt, XK_Break),
    Row(kVkSnapshot, 0x37, kExt, XK_Print),
    Row(kVkSnapshot, 0x54, false, XK_Sys_Req),
    // Navigation block, extended; before the keypad so that it is preferred.
    Row(kVkInsert, 0x52, kExt, XK_Insert),
    Row(kVkDelete, 0x53, kExt, XK_Delete),
    Row(kVkHome, 0x47, kExt, XK_Home),
    Row(kVkEnd, 0x4F, kExt, XK_End),
    Row(kVkPrior, 0x49, kExt, XK_Prior),
    Row(kVkNext, 0x51, kExt, XK_Next),
    Row(kVkUp, 0x48, kExt, XK_Up),
    Row(kVkDown, 0x50, kExt, XK_Down),
    Row(kVkLeft, 0x4B, kExt, XK_Left),
    Row(kVkRight, 0x4D, kExt, XK_Right),
    // Keypad with NumLock on.
    Row(kVkNumpad0 + 0, 0x52, false, XK_KP_0),
    Row(kVkNumpad0 + 1, 0x4F, false, XK_KP_1),
    Row(kVkNumpad0 + 2, 0x50, false, XK_KP_2),
    Row(kVkNumpad0 + 3, 0x51, false, XK_KP_3),
    Row(kVkNumpad0 + 4, 0x4B, false, XK_KP_4),
    Row(kVkNumpad0 + 5, 0x4C, false, XK_KP_5),
    Row(kVkNumpad0 + 6, 0x4D, false, XK_KP_6),
    Row(kVkNumpad0 + 7, 0x47, false, XK_KP_7),
    Row(kVkNumpad0 + 8, 0x48, false, XK_KP_8),
    Row(kVkNumpad0 + 9, 0x49, false, XK_KP_9),
    Row(kVkDecimal, 0x53, false, XK_KP_Decimal, XK_KP_Separator),
    // Keypad with NumLock off: the navigation codes, not extended.
    Row(kVkInsert, 0x52, false, XK_KP_Insert),
    Row(kVkEnd, 0x4F, false, XK_KP_End),
    Row(kVkDown, 0x50, false, XK_KP_Down),
    Row(kVkNext, 0x51, false, XK_KP_Next),
    Row(kVkLeft, 0x4B, false, XK_KP_Left),
    Row(kVkClear, 0x4C, false, XK_KP_Begin),
    Row(kVkRight, 0x4D, false, XK_KP_Right),
    Row(kVkHome, 0x47, false, XK_KP_Home),
    Row(kVkUp, 0x48, false, XK_KP_Up),
    Row(kVkPrior, 0x49, false, XK_KP_Prior),
    Row(kVkDelete, 0x53, false, XK_KP_Delete),
    // Keypad operators; Enter and Divide are extended.
    Row(kVkAdd, 0x4E, false, XK_KP_Add),
    Row(kVkSubtract, 0x4A, false, XK_KP_Subtract),
    Row(kVkMultiply, 0x37, false, XK_KP_Multiply),
    Row(kVkDivide, 0x35, kExt, XK_KP_Divide),
    Row(kVkReturn, 0x1C, kExt, XK_KP_Enter),
    // Japanese keyboard.
    Row(kVkKanji, 0x29, false, XK_Zenkaku_Hankaku, XK_Kanji, XK_Zenkaku, XK_Hankaku),
    Row(kVkConvert, 0x79, false, XK_Henkan_Mode),
    Row(kVkNonConvert, 0x7B, false, XK_Muhenkan),
    Row(kVkHiragana, 0x70, false, XK_Hiragana_Katakana, XK_Hiragana, XK_Katakana),
    Row(kVkEisu, 0x3A, false, XK_Eisu_toggle),
    // Media and browser keys, all extended.
    Row(0xAD, 0x20, kExt, XF86XK_AudioMute),
    Row(0xAE, 0x2E, kExt, XF86XK_AudioLowerVolume),
    Row(0xAF, 0x30, kExt, XF86XK_AudioRaiseVolume),
    Row(0xB0, 0x19, kExt, XF86XK_AudioNext),
    Row(0xB1, 0x10, kExt, XF86XK_AudioPrev),
    Row(0xB2, 0x24, kExt, XF86XK_AudioStop),
    Row(0xB3, 0x22, kExt, XF86XK_AudioPlay, XF86XK_AudioPause),
    Row(0xB4, 0x6C, kExt, XF86XK_Mail),
    Row(0xB5, 0x6D, kExt, XF86XK_AudioMedia),
    Row(0xB6, 0x6B, kExt, XF86XK_MyComputer),
    Row(0xB7, 0x21, kExt, XF86XK_Calculator),
    Row(0xA6, 0x6A, kExt, XF86XK_Back),
    Row(0xA7, 0x69, kExt, XF86XK_Forward),
    Row(0xA8, 0x67, kExt, XF86XK_Refresh),
    Row(0xA9, 0x68, kExt, XF86XK_Stop),
    Row(0xAA, 0x65, kExt, XF86XK_Search),
    Row(0xAB, 0x66, kExt, XF86XK_Favorites),
    Row(0xAC, 0x32, kExt, XF86XK_HomePage),
    Row(kVkSleep, 0x5F, kExt, XF86XK_Sleep),
};

// Windows codes that name a key of the table by another code: the left/right modifier
// codes of low-level input, and the Zenkaku/Hankaku key's IME mode codes.
struct Alias {
    uint8_t virtualKey;
    WindowsKey key;
};

constexpr Alias kAliases[] = {
    {kVkLShift, {kVkShift, 0x2A, false}},     {kVkRShift, {kVkShift, 0x36, false}},
    {kVkLControl, {kVkControl, 0x1D, false}}, {kVkRControl, {kVkControl, 0x1D, kExt}},
    {kVkLMenu, {kVkMenu, 0x38, false}},       {kVkRMenu, {kVkMenu, 0x38, kExt}},
    {kVkOemAuto, {kVkKanji, 0x29, false}},    {kVkOemEnlw, {kVkKanji, 0x29, false}},
};

constexpr uint32_t kExtendedBit = 0x8000;

const Alias* FindAlias(uint8_t virtualKey) {
    auto found = std::ranges::find(kAliases, virtualKey, &Alias::virtualKey);
    return found == std::end(kAliases) ? nullptr : found;
}

WindowsKey Canonical(const WindowsKey& key) {
    const Alias* alias = FindAlias(key.virtualKey);
    return alias ? alias->key : key;
}

// The extended flag of the first key with this code and scan code; false when none.
bool InferExtended(uint8_t virtualKey, uint8_t scanCode) {
    if (const Alias* alias = FindAlias(virtualKey)) return alias->key.extended;
    for (const KeyRow& row : kRows) {
        if (row.key.virtualKey == virtualKey && row.key.scanCode == scanCode) {
            return row.key.extended;
        }
    }
    return false;
}

// How closely a table key matches a wanted one: 3 all fields, 2 code and extended flag,
// 1 code only, 0 not at all.
int MatchLevel(const WindowsKey& row, const WindowsKey& wanted) {
    if (row.virtualKey != wanted.virtualKey) return 0;
    if (row.extended != wanted.extended) return 1;
    return row.scanCode == wanted.scanCode ? 3 : 2;
}

int BestMatchLevel(const WindowsKey& wanted) {
    int best = 0;
    for (const KeyRow& row : kRows) best = std::max(best, MatchLevel(row.key, wanted));
    return best;
}

void AppendSymbols(const KeyRow& row, std::vector<uint32_t>& symbols) {
    for (uint32_t keysym : row.keySyms) {
        if (keysym != 0) symbols.push_back(keysym);
    }
}

}  // namespace

std::span<const KeyRow> KeyRows() {
    return kRows;
}

WindowsKey WindowsKeyFromKeySym(uint32_t keysym) {
    if (keysym == 0) return {};
    for (const KeyRow& row : kRows) {
        if (std::ranges::find(row.keySyms, keysym) != row.keySyms.end()) return row.key;
    }
    return {};
}

std::vector<uint32_t> KeySymsFromWindowsKey(uint8_t virtualKey, uint8_t scanCode, bool extended) {
    WindowsKey wanted = Canonical(WindowsKey{virtualKey, scanCode, extended});
    std::vector<uint32_t> symbols;
    int level = BestMatchLevel(wanted);
    if (level == 0) return symbols;
    for (const KeyRow& row : kRows) {
        if (MatchLevel(row.key, wanted) == level) AppendSymbols(row, symbols);
    }
    return symbols;
}

uint32_t KeySymFromWindowsKey(uint8_t virtualKey, uint8_t scanCode, bool extended) {
    std::vector<uint32_t> symbols = KeySymsFromWindowsKey(virtualKey, scanCode, extended);
    return symbols.empty() ? 0 : symbols.front();
}

uint32_t KeyParamL(const WindowsKey& key) {
    return key.virtualKey | static_cast<uint32_t>(key.scanCode) << 8;
}

uint32_t KeyParamH(const WindowsKey& key) {
    return 1u | (key.extended ? kExtendedBit : 0u);
}

WindowsKey WindowsKeyFromParams(uint32_t paramL, uint32_t paramH) {
    return WindowsKey{static_cast<uint8_t>(paramL & 0xFF),
                      static_cast<uint8_t>((paramL >> 8) & 0xFF), (paramH & kExtendedBit) != 0};
}

WindowsKey WindowsKeyFromHandedParams(uint32_t paramL, uint32_t paramH) {
    auto virtualKey = static_cast<uint8_t>(paramL & 0xFF);
    auto scanCode = static_cast<uint8_t>(paramH & 0xFF);
    return WindowsKey{virtualKey, scanCode, InferExtended(virtualKey, scanCode)};
}

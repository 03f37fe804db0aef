#include "cli/KeyNames.h"

#include <array>

namespace {

struct Named {
    uint8_t code;
    const char* name;
};

// Windows' virtual-key codes, as its documentation names them (without "VK_"). Letters and
// digits are their own characters and are added below.
constexpr Named kNamedKeys[] = {
    {0x01, "LBUTTON"},
    {0x02, "RBUTTON"},
    {0x03, "CANCEL"},
    {0x04, "MBUTTON"},
    {0x05, "XBUTTON1"},
    {0x06, "XBUTTON2"},
    {0x08, "BACK"},
    {0x09, "TAB"},
    {0x0C, "CLEAR"},
    {0x0D, "RETURN"},
    {0x10, "SHIFT"},
    {0x11, "CONTROL"},
    {0x12, "MENU"},
    {0x13, "PAUSE"},
    {0x14, "CAPITAL"},
    {0x15, "KANA"},
    {0x16, "IME_ON"},
    {0x17, "JUNJA"},
    {0x18, "FINAL"},
    {0x19, "KANJI"},
    {0x1A, "IME_OFF"},
    {0x1B, "ESCAPE"},
    {0x1C, "CONVERT"},
    {0x1D, "NONCONVERT"},
    {0x1E, "ACCEPT"},
    {0x1F, "MODECHANGE"},
    {0x20, "SPACE"},
    {0x21, "PRIOR"},
    {0x22, "NEXT"},
    {0x23, "END"},
    {0x24, "HOME"},
    {0x25, "LEFT"},
    {0x26, "UP"},
    {0x27, "RIGHT"},
    {0x28, "DOWN"},
    {0x29, "SELECT"},
    {0x2A, "PRINT"},
    {0x2B, "EXECUTE"},
    {0x2C, "SNAPSHOT"},
    {0x2D, "INSERT"},
    {0x2E, "DELETE"},
    {0x2F, "HELP"},
    {0x5B, "LWIN"},
    {0x5C, "RWIN"},
    {0x5D, "APPS"},
    {0x5F, "SLEEP"},
    {0x6A, "MULTIPLY"},
    {0x6B, "ADD"},
    {0x6C, "SEPARATOR"},
    {0x6D, "SUBTRACT"},
    {0x6E, "DECIMAL"},
    {0x6F, "DIVIDE"},
    {0x90, "NUMLOCK"},
    {0x91, "SCROLL"},
    {0x92, "OEM_FJ_JISHO"},
    {0xA0, "LSHIFT"},
    {0xA1, "RSHIFT"},
    {0xA2, "LCONTROL"},
    {0xA3, "RCONTROL"},
    {0xA4, "LMENU"},
    {0xA5, "RMENU"},
    {0xA6, "BROWSER_BACK"},
    {0xA7, "BROWSER_FORWARD"},
    {0xA8, "BROWSER_REFRESH"},
    {0xA9, "BROWSER_STOP"},
    {0xAA, "BROWSER_SEARCH"},
    {0xAB, "BROWSER_FAVORITES"},
    {0xAC, "BROWSER_HOME"},
    {0xAD, "VOLUME_MUTE"},
    {0xAE, "VOLUME_DOWN"},
    {0xAF, "VOLUME_UP"},
    {0xB0, "MEDIA_NEXT_TRACK"},
    {0xB1, "MEDIA_PREV_TRACK"},
    {0xB2, "MEDIA_STOP"},
    {0xB3, "MEDIA_PLAY_PAUSE"},
    {0xB4, "LAUNCH_MAIL"},
    {0xB5, "LAUNCH_MEDIA_SELECT"},
    {0xB6, "LAUNCH_APP1"},
    {0xB7, "LAUNCH_APP2"},
    {0xBA, "OEM_1"},
    {0xBB, "OEM_PLUS"},
    {0xBC, "OEM_COMMA"},
    {0xBD, "OEM_MINUS"},
    {0xBE, "OEM_PERIOD"},
    {0xBF, "OEM_2"},
    {0xC0, "OEM_3"},
    {0xDB, "OEM_4"},
    {0xDC, "OEM_5"},
    {0xDD, "OEM_6"},
    {0xDE, "OEM_7"},
    {0xDF, "OEM_8"},
    {0xE1, "OEM_AX"},
    {0xE2, "OEM_102"},
    {0xE5, "PROCESSKEY"},
    {0xE7, "PACKET"},
    {0xF0, "OEM_ATTN"},
    {0xF1, "OEM_FINISH"},
    {0xF2, "OEM_COPY"},
    {0xF3, "OEM_AUTO"},
    {0xF4, "OEM_ENLW"},
    {0xF5, "OEM_BACKTAB"},
    {0xF6, "ATTN"},
    {0xF7, "CRSEL"},
    {0xF8, "EXSEL"},
    {0xF9, "EREOF"},
    {0xFA, "PLAY"},
    {0xFB, "ZOOM"},
    {0xFD, "PA1"},
    {0xFE, "OEM_CLEAR"},
};

using NameTable = std::array<std::string, 256>;

NameTable MakeNames() {
    NameTable names;
    for (const Named& key : kNamedKeys) names[key.code] = key.name;
    for (char c = '0'; c <= '9'; ++c) names[static_cast<uint8_t>(c)] = std::string(1, c);
    for (char c = 'A'; c <= 'Z'; ++c) names[static_cast<uint8_t>(c)] = std::string(1, c);
    // Appended, not "F" + std::to_string(n): GCC 12 at -O3 warns of an overlap there.
    for (int n = 0; n <= 9; ++n) names[0x60 + n] = std::string("NUMPAD").append(std::to_string(n));
    for (int n = 1; n <= 24; ++n) names[0x6F + n] = std::string("F").append(std::to_string(n));
    return names;
}

const NameTable& Names() {
    static const NameTable names = MakeNames();
    return names;
}

}  // namespace

std::string_view VirtualKeyName(uint8_t code) {
    return Names()[code];
}

std::optional<uint8_t> VirtualKeyOfName(std::string_view name) {
    if (name.empty()) return std::nullopt;
    for (std::size_t code = 0; code < Names().size(); ++code) {
        if (Names()[code] == name) return static_cast<uint8_t>(code);
    }
    return std::nullopt;
}

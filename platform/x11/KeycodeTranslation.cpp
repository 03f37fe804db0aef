#include "platform/x11/KeycodeTranslation.h"

#include <algorithm>
#include <iterator>

namespace {

struct NamedKey {
    std::string_view name;
    uint8_t evdevKeycode;
};

// The evdev key codes of the keys a PC keyboard has, by their XKB names and the aliases
// other sets use for them.
// clang-format off
constexpr NamedKey kNamedKeys[] = {
    {"ESC", 9}, {"AE01", 10}, {"AE02", 11}, {"AE03", 12}, {"AE04", 13}, {"AE05", 14},
    {"AE06", 15}, {"AE07", 16}, {"AE08", 17}, {"AE09", 18}, {"AE10", 19}, {"AE11", 20},
    {"AE12", 21}, {"BKSP", 22}, {"TAB", 23}, {"AD01", 24}, {"AD02", 25}, {"AD03", 26},
    {"AD04", 27}, {"AD05", 28}, {"AD06", 29}, {"AD07", 30}, {"AD08", 31}, {"AD09", 32},
    {"AD10", 33}, {"AD11", 34}, {"AD12", 35}, {"RTRN", 36}, {"LCTL", 37}, {"AC01", 38},
    {"AC02", 39}, {"AC03", 40}, {"AC04", 41}, {"AC05", 42}, {"AC06", 43}, {"AC07", 44},
    {"AC08", 45}, {"AC09", 46}, {"AC10", 47}, {"AC11", 48}, {"HZTG", 49}, {"TLDE", 49},
    {"LFSH", 50}, {"AC12", 51}, {"BKSL", 51}, {"AB01", 52}, {"AB02", 53}, {"AB03", 54},
    {"AB04", 55}, {"AB05", 56}, {"AB06", 57}, {"AB07", 58}, {"AB08", 59}, {"AB09", 60},
    {"AB10", 61}, {"RTSH", 62}, {"KPMU", 63}, {"LALT", 64}, {"SPCE", 65}, {"CAPS", 66},
    {"FK01", 67}, {"FK02", 68}, {"FK03", 69}, {"FK04", 70}, {"FK05", 71}, {"FK06", 72},
    {"FK07", 73}, {"FK08", 74}, {"FK09", 75}, {"FK10", 76}, {"NMLK", 77}, {"SCLK", 78},
    {"KP7", 79}, {"KP8", 80}, {"KP9", 81}, {"KPSU", 82}, {"KP4", 83}, {"KP5", 84}, {"KP6", 85},
    {"KPAD", 86}, {"KP1", 87}, {"KP2", 88}, {"KP3", 89}, {"KP0", 90}, {"KPDL", 91}, {"LSGT", 94},
    {"FK11", 95}, {"FK12", 96}, {"AB11", 97}, {"KATA", 98}, {"HIRA", 99}, {"HENK", 100},
    {"HKTG", 101}, {"MUHE", 102}, {"JPCM", 103}, {"KPEN", 104}, {"RCTL", 105}, {"KPDV", 106},
    {"PRSC", 107}, {"ALGR", 108}, {"RALT", 108}, {"HOME", 110}, {"UP", 111}, {"PGUP", 112},
    {"LEFT", 113}, {"RGHT", 114}, {"END", 115}, {"DOWN", 116}, {"PGDN", 117}, {"INS", 118},
    {"DELE", 119}, {"MUTE", 121}, {"VOL-", 122}, {"VOL+", 123}, {"POWR", 124}, {"KPEQ", 125},
    {"PAUS", 127}, {"KPPT", 129}, {"HNGL", 130}, {"HJCV", 131}, {"AE13", 132}, {"LMTA", 133},
    {"LWIN", 133}, {"RMTA", 134}, {"RWIN", 134}, {"COMP", 135}, {"MENU", 135}, {"STOP", 136},
    {"FK13", 191}, {"FK14", 192}, {"FK15", 193}, {"FK16", 194}, {"FK17", 195}, {"FK18", 196},
    {"FK19", 197}, {"FK20", 198}, {"FK21", 199}, {"FK22", 200}, {"FK23", 201}, {"FK24", 202},
};
// clang-format on

}  // namespace

bool IsEvdevKeycodes(std::string_view keycodesName) {
    return keycodesName.substr(0, 5) == "evdev";
}

KeycodeTranslation KeycodeTranslation::FromNames(
    uint32_t lowest, uint32_t highest,
    const std::function<std::vector<std::string>(uint32_t keycode)>& namesOf) {
    KeycodeTranslation translation;
    translation.identity_ = false;
    for (uint32_t keycode = lowest; keycode <= highest && keycode < 256; ++keycode) {
        for (const std::string& name : namesOf(keycode)) {
            auto found = std::ranges::find(kNamedKeys, name, &NamedKey::name);
            if (found == std::end(kNamedKeys)) continue;
            // Where two key codes carry a name, the first is the one played.
            if (translation.toServer_[found->evdevKeycode] == 0) {
                translation.toServer_[found->evdevKeycode] = static_cast<uint8_t>(keycode);
            }
            translation.fromServer_[keycode] = found->evdevKeycode;
            break;
        }
    }
    return translation;
}

uint32_t KeycodeTranslation::ToServer(uint32_t evdevKeycode) const {
    if (identity_) return evdevKeycode;
    return evdevKeycode < toServer_.size() ? toServer_[evdevKeycode] : 0;
}

uint32_t KeycodeTranslation::FromServer(uint32_t serverKeycode) const {
    if (identity_) return serverKeycode;
    return serverKeycode < fromServer_.size() ? fromServer_[serverKeycode] : 0;
}

#pragma once
// The key tables name keys by evdev key codes, which most servers use. Some VNC and NX
// servers (and the old xfree86 set) number their keys otherwise; there a key code is taken to
// and from the server's by the key's XKB name, which names the same physical key in every
// set. No X headers here: names are plain text.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Whether an XKB keycodes name, such as "evdev+aliases(qwerty)", is of the evdev set.
bool IsEvdevKeycodes(std::string_view keycodesName);

class KeycodeTranslation {
  public:
    // The server's key codes are evdev's: nothing to translate.
    KeycodeTranslation() = default;

    // From the server's key names: namesOf gives every XKB name (the key's own and its
    // aliases) of a server key code from lowest to highest.
    static KeycodeTranslation FromNames(
        uint32_t lowest, uint32_t highest,
        const std::function<std::vector<std::string>(uint32_t keycode)>& namesOf);

    // An evdev key code as the server numbers that key; 0 when the server has no such key.
    uint32_t ToServer(uint32_t evdevKeycode) const;
    // A server key code as evdev numbers that key; 0 when the key has no evdev code here.
    uint32_t FromServer(uint32_t serverKeycode) const;

  private:
    bool identity_ = true;
    std::array<uint8_t, 256> toServer_{};
    std::array<uint8_t, 256> fromServer_{};
};

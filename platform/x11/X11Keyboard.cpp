#include "platform/x11/X11Keyboard.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

unsigned ActiveGroup(Display* display) {
    XkbStateRec state{};
    return XkbGetState(display, XkbUseCoreKbd, &state) == Success ? state.group : 0;
}

bool NumLockOn(Display* display) {
    XkbStateRec state{};
    if (XkbGetState(display, XkbUseCoreKbd, &state) != Success) return false;
    unsigned mask = XkbKeysymToModifiers(display, XK_Num_Lock);
    return mask != 0 && (state.locked_mods & mask) != 0;
}

std::string KeyName(const char (&name)[XkbKeyNameLength]) {
    return std::string(name, strnlen(name, XkbKeyNameLength));
}

// Every XKB name of each key code: its own, then the aliases that name it.
KeycodeTranslation TranslationByNames(const XkbNamesRec& names, int lowest, int highest) {
    return KeycodeTranslation::FromNames(
        static_cast<uint32_t>(lowest), static_cast<uint32_t>(highest), [&names](uint32_t keycode) {
            std::vector<std::string> all{KeyName(names.keys[keycode].name)};
            for (int i = 0; i < names.num_key_aliases; ++i) {
                if (KeyName(names.key_aliases[i].real) == all.front()) {
                    all.push_back(KeyName(names.key_aliases[i].alias));
                }
            }
            return all;
        });
}

}  // namespace

KeycodeTranslation ReadKeycodeTranslation(Display* display) {
    XkbDescPtr keyboard = XkbGetMap(display, 0, XkbUseCoreKbd);
    if (keyboard == nullptr) return {};
    KeycodeTranslation translation;
    const unsigned which = XkbKeycodesNameMask | XkbKeyNamesMask | XkbKeyAliasesMask;
    if (XkbGetNames(display, which, keyboard) == Success && keyboard->names != nullptr &&
        keyboard->names->keys != nullptr && keyboard->names->keycodes != None) {
        char* set = XGetAtomName(display, keyboard->names->keycodes);
        if (set != nullptr && !IsEvdevKeycodes(set)) {
            int lowest = 0;
            int highest = 0;
            XDisplayKeycodes(display, &lowest, &highest);
            translation = TranslationByNames(*keyboard->names, lowest, highest);
        }
        if (set != nullptr) XFree(set);
    }
    XkbFreeKeyboard(keyboard, 0, True);
    return translation;
}

KeyboardLayout ReadKeyboardLayout(Display* display) {
    const unsigned group = ActiveGroup(display);
    const KeycodeTranslation keycodes = ReadKeycodeTranslation(display);
    return LayoutOfMapping([display, group, &keycodes](uint32_t keycode) {
        return static_cast<uint32_t>(XkbKeycodeToKeysym(
            display, static_cast<KeyCode>(keycodes.ToServer(keycode)), static_cast<int>(group), 0));
    });
}

KeyboardState ReadKeyboardState(Display* display) {
    KeyboardState state;
    char keys[32] = {};
    XQueryKeymap(display, keys);
    for (std::size_t keycode = 0; keycode < state.keysDown.size(); ++keycode) {
        state.keysDown[keycode] =
            (static_cast<unsigned char>(keys[keycode / 8]) >> (keycode % 8)) & 1;
    }
    state.keycodes = ReadKeycodeTranslation(display);
    state.numLock = NumLockOn(display);
    state.layout = ReadKeyboardLayout(display);
    return state;
}

bool KeypadGivesDigits(Display* display) {
    XkbStateRec state{};
    if (XkbGetState(display, XkbUseCoreKbd, &state) != Success) return false;
    const unsigned numLock = XkbKeysymToModifiers(display, XK_Num_Lock);
    const bool locked = numLock != 0 && (state.mods & numLock) != 0;
    const bool shifted = (state.mods & ShiftMask) != 0;
    return locked != shifted;
}

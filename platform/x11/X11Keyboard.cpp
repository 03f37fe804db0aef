#include "platform/x11/X11Keyboard.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

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

}  // namespace

KeyboardLayout ReadKeyboardLayout(Display* display) {
    unsigned group = ActiveGroup(display);
    return LayoutOfMapping([display, group](uint32_t keycode) {
        return static_cast<uint32_t>(
            XkbKeycodeToKeysym(display, static_cast<KeyCode>(keycode), static_cast<int>(group), 0));
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

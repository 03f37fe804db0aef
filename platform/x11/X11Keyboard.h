#pragma once
// The keyboard as the X server holds it at this moment: the keys down, NumLock and the
// layout that the key mapping of the active group follows.
#include <X11/Xlib.h>

#include "platform/x11/EventTranslator.h"

KeyboardState ReadKeyboardState(Display* display);
// How the server's key codes relate to evdev's: the identity where the server's XKB keycodes
// are evdev's (or unnamed), else by the keys' XKB names.
KeycodeTranslation ReadKeycodeTranslation(Display* display);
KeyboardLayout ReadKeyboardLayout(Display* display);
// Whether the keypad's digit keys give digits now: NumLock on and Shift up, or NumLock off
// and Shift down, as the keypad's key type has it.
bool KeypadGivesDigits(Display* display);

#pragma once
// The keyboard as the X server holds it at this moment: the keys down, NumLock and the
// layout that the key mapping of the active group follows.
#include <X11/Xlib.h>

#include "platform/x11/EventTranslator.h"

KeyboardState ReadKeyboardState(Display* display);
KeyboardLayout ReadKeyboardLayout(Display* display);

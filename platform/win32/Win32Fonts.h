#pragma once
// The system fonts that stand for toolkit fonts: "MS UI Gothic" height -12 in the Shift-JIS
// character set becomes exactly that font (where the system lacks the face, its own font
// substitution picks another). Each font is made once and kept for the program's life.
#include "platform/win32/WindowsApi.h"
#include "toolkit/Control.h"

// An empty name or a height of 0 gives the system's default GUI font.
HFONT FontHandle(const TFont& font);

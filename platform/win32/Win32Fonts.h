#pragma once
// The system fonts that stand for toolkit fonts: "MS UI Gothic" height -12 in the Shift-JIS
// character set becomes exactly that font (where the system lacks the face, its own font
// substitution picks another). Each font is made once and kept for the program's life.
#include <string>

#include "platform/win32/WindowsApi.h"
#include "toolkit/Control.h"

// An empty name or a height of 0 gives the system's default GUI font.
HFONT FontHandle(const TFont& font);

// Selects into dc the largest font, from font's height down to a character height of 9, in
// which text (its "&" marks not shown) fits width pixels; returns that font. A substituted
// face may be wider than the one the layout was made for: text is drawn smaller rather than
// cut off.
HFONT SelectFittingFont(HDC dc, const TFont& font, const std::wstring& text, int width);

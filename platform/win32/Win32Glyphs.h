#pragma once
// The button pictures: bitmaps in the program's resources, made at build time from
// resources/glyphs/*.xpm (resources/windows/make_resources.py), named by the ids that
// TSpeedButton::Glyph holds. Magenta pixels are transparent.
#include <string_view>

#include "platform/win32/WindowsApi.h"

struct GlyphBitmaps {
    HBITMAP normal = nullptr;
    HBITMAP disabled = nullptr;
    SIZE size{};
};

// Ids are case-insensitive ("open", "STOP"...). With numGlyphs >= 2 a glyph that has its own
// disabled picture (STOP) uses it; any other disabled picture is the greyed copy. Empty
// bitmaps for an unknown id. The bitmaps live as long as the program.
GlyphBitmaps FindGlyph(std::string_view id, int numGlyphs);
// Draws bitmap with its top-left corner at left, top, leaving magenta pixels out.
void DrawGlyph(HDC dc, HBITMAP bitmap, int left, int top);

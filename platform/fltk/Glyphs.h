#pragma once
// The button pictures, drawn for this program (resources/glyphs/*.xpm) and named by the
// resource ids that TSpeedButton::Glyph holds.
#include <string_view>

class Fl_Image;

struct GlyphImages {
    Fl_Image* normal = nullptr;
    Fl_Image* disabled = nullptr;
};

// Ids (case-insensitive): tool buttons "OPEN", "PLAY", "LOOP", "LISTPLAY", "RECORD",
// "STOP", "SAVE", "HELP"; small buttons "ADD", "DELETE", "SAVELIST", "EXPAND", "COLLAPSE".
// With numGlyphs >= 2 a glyph drawn with its own disabled picture ("STOP") uses it; any
// other disabled picture is a greyed copy. Empty images for an unknown id. The images live
// as long as the program.
GlyphImages FindGlyph(std::string_view id, int numGlyphs);

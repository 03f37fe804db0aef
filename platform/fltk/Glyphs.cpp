#include "platform/fltk/Glyphs.h"

#include <FL/Fl_Pixmap.H>

#include <cctype>

#include "resources/glyphs/add.xpm"
#include "resources/glyphs/collapse.xpm"
#include "resources/glyphs/delete.xpm"
#include "resources/glyphs/expand.xpm"
#include "resources/glyphs/help.xpm"
#include "resources/glyphs/list_play.xpm"
#include "resources/glyphs/loop.xpm"
#include "resources/glyphs/open.xpm"
#include "resources/glyphs/play.xpm"
#include "resources/glyphs/record.xpm"
#include "resources/glyphs/save.xpm"
#include "resources/glyphs/save_list.xpm"
#include "resources/glyphs/stop.xpm"
#include "resources/glyphs/stop_disabled.xpm"

namespace {

struct GlyphEntry {
    std::string_view id;
    const char* const* picture;
    const char* const* disabledPicture;  // null: greyed from picture
    Fl_Image* normal = nullptr;
    Fl_Image* greyed = nullptr;
    Fl_Image* designed = nullptr;
};

GlyphEntry glyphs[] = {
    {"OPEN", open_xpm, nullptr},
    {"PLAY", play_xpm, nullptr},
    {"LOOP", loop_xpm, nullptr},
    {"LISTPLAY", list_play_xpm, nullptr},
    {"RECORD", record_xpm, nullptr},
    {"STOP", stop_xpm, stop_disabled_xpm},
    {"SAVE", save_xpm, nullptr},
    {"HELP", help_xpm, nullptr},
    {"ADD", add_xpm, nullptr},
    {"DELETE", delete_xpm, nullptr},
    {"SAVELIST", save_list_xpm, nullptr},
    {"EXPAND", expand_xpm, nullptr},
    {"COLLAPSE", collapse_xpm, nullptr},
};

bool SameId(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
    }
    return true;
}

void Load(GlyphEntry& entry) {
    if (entry.normal != nullptr) return;
    entry.normal = new Fl_Pixmap(entry.picture);
    entry.greyed = entry.normal->copy();
    entry.greyed->inactive();
    if (entry.disabledPicture != nullptr) entry.designed = new Fl_Pixmap(entry.disabledPicture);
}

}  // namespace

GlyphImages FindGlyph(std::string_view id, int numGlyphs) {
    for (GlyphEntry& entry : glyphs) {
        if (!SameId(id, entry.id)) continue;
        Load(entry);
        bool ownDisabled = numGlyphs >= 2 && entry.designed != nullptr;
        return GlyphImages{entry.normal, ownDisabled ? entry.designed : entry.greyed};
    }
    return {};
}

#pragma once
// Text rules of the FLTK widgets, kept apart from FLTK so that they can be tested without a
// display: FLTK reads meaning into some characters of labels, menu items and file filters,
// and the toolkit's texts must show literally.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Dialogs.h"

// A label drawn literally: "@" (FLTK's symbol marker) doubled. "&" stays an accelerator mark.
std::string LiteralLabel(std::string_view text);

// A menu item label (set directly, not through Fl_Menu_::add(), which would split at "/"
// and merge equal items) that shows exactly text: "&" and "@" doubled.
std::string MenuLabel(std::string_view text);

// A Windows filter pattern in fl_filename_match() syntax: "*.mcr;*.mlf" -> "*.{mcr,mlf}",
// "*.*" -> "*", mixed patterns -> "{*.a,b*}".
std::string FilenamePattern(std::string_view windowsPatterns);

// The filter list for Fl_File_Chooser: one "name (pattern)" entry per filter, separated by
// tabs. The name is the filter's text without a trailing parenthesised pattern list; the
// chooser itself quotes "/" for its menu, and takes the pattern from the first "(".
std::string FileChooserFilter(const std::vector<TFileFilter>& filters);

// FLTK's font size for a toolkit font height: a negative height is the character height in
// pixels; a positive one is the cell height, of which the character takes about 3/4; 0 is
// the default.
int FontSizeForHeight(int32_t height, int defaultSize = 12);

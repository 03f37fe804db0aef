#pragma once
// Window-manager hints that FLTK 1.3 does not give: which frame functions and decorations a
// form's border allows (_MOTIF_WM_HINTS), and staying above other windows
// (_NET_WM_STATE_ABOVE); and the placement FLTK takes from a new window. Each takes a shown
// window.
#include "toolkit/Form.h"

class Fl_Window;

// FLTK rewrites the Motif hints whenever the window's size changes: call again after that.
void SetFrameHints(Fl_Window& window, TFormBorderStyle style, TBorderIcons icons);

// Marks the window above others in its own state property, which a window manager reads
// when it maps the window. Call right after show(), before the map request is flushed.
void SetStayOnTopProperty(Fl_Window& window);

// Asks the window manager, through the root window, to keep a mapped window above others.
void RequestStayOnTop(Fl_Window& window);

// FLTK creates a top-level window moved onto the screen; this puts it back at its own
// position, also one partly or wholly off every screen.
void KeepOwnPosition(Fl_Window& window);

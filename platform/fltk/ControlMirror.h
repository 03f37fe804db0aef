#pragma once
// A real FLTK widget that shows one toolkit control. Each widget kind derives from its FLTK
// class and from ControlMirror; Update copies the control's state onto it, the widget's
// callbacks feed user input back through Application->Dispatch.
#include <FL/Enumerations.H>

#include <string>

class Fl_Widget;
class TControl;
struct TFont;

class ControlMirror {
  public:
    virtual ~ControlMirror() = default;

    virtual Fl_Widget& Widget() = 0;
    // Reads every property of control (the one the mirror was made for).
    virtual void Update(TControl& control) = 0;
    // Whether the widget may take the keyboard focus at all.
    virtual bool Focusable() const { return true; }
};

// The widget for control, or null for a kind that has none.
ControlMirror* MakeMirror(TControl& control);

// What every widget shares: bounds, visibility, enabled state, tool tip.
void UpdateCommon(Fl_Widget& widget, const TControl& control);
// Sets the label from a caption ("&" marks stay accelerators, "@" is shown literally).
void UpdateLabel(Fl_Widget& widget, const TControl& control);

// The FLTK face and size standing for a toolkit font.
struct FltkFont {
    Fl_Font face;
    Fl_Fontsize size;
};
FltkFont FontFor(const TFont& font, int defaultSize = 12);
void UpdateLabelFont(Fl_Widget& widget, const TControl& control);

// The largest size from size down to minimum at which a caption (its "&" marks not shown)
// fits width in face. The Japanese face is wider than the layout's fonts: text that the
// layout made to fit is drawn smaller rather than cut off.
Fl_Fontsize FittingSize(const std::string& text, Fl_Font face, Fl_Fontsize size, int width,
                        Fl_Fontsize minimum = 9);

// Runs the control's click as a user's click: through Application->Dispatch.
void DispatchClick(TControl& control);

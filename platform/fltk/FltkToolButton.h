#pragma once
// The flat tool button: no frame until the mouse is over it, the glyph above the caption
// (the glyph alone when there is no caption), greyed when disabled. It never takes the
// focus; its accelerator is handled by its window (FormWindow).
#include <FL/Fl_Button.H>

#include "platform/fltk/ControlMirror.h"
#include "platform/fltk/Glyphs.h"

class TSpeedButton;

class ToolButtonWidget : public Fl_Button, public ControlMirror {
  public:
    explicit ToolButtonWidget(TSpeedButton& button);

    Fl_Widget& Widget() override { return *this; }
    void Update(TControl& control) override;
    bool Focusable() const override { return false; }

    int handle(int event) override;
    void draw() override;

  private:
    static void OnClick(Fl_Widget* widget, void* self);
    void SetHover(bool hover);
    Fl_Boxtype Frame() const;
    void DrawGlyph(int top);
    void DrawCaption(int top, int height);

    TSpeedButton& button_;
    GlyphImages glyph_;
    bool flat_ = true;
    bool hover_ = false;
};

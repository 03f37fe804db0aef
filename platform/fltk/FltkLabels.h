#pragma once
// Widgets that only show something: the label (text with its accelerator underlined) and
// the bevel (a sunken line or frame).
#include <FL/Fl_Box.H>

#include "platform/fltk/ControlMirror.h"
#include "toolkit/Displays.h"

class LabelWidget : public Fl_Box, public ControlMirror {
  public:
    explicit LabelWidget(TLabel& label);

    Fl_Widget& Widget() override { return *this; }
    void Update(TControl& control) override;
    void draw() override;

  private:
    TLabel& label_;
};

class BevelWidget : public Fl_Box, public ControlMirror {
  public:
    explicit BevelWidget(TBevel& bevel);

    Fl_Widget& Widget() override { return *this; }
    void Update(TControl& control) override;
    void draw() override;

  private:
    void DrawLine(int x0, int y0, int x1, int y1);

    TBevel& bevel_;
    TBevelShape shape_ = bsBox;
};

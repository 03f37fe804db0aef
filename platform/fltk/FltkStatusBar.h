#pragma once
// The status bar: its panels side by side, each in its frame (raised, lowered or none) at
// its width, showing its text literally.
#include <FL/Fl_Widget.H>

#include <vector>

#include "platform/fltk/ControlMirror.h"
#include "toolkit/Displays.h"

class StatusBarWidget : public Fl_Widget, public ControlMirror {
  public:
    explicit StatusBarWidget(TStatusBar& bar);

    Fl_Widget& Widget() override { return *this; }
    void Update(TControl& control) override;
    void draw() override;

  private:
    void DrawPanel(const TStatusPanel& panel, int left, int width);

    TStatusBar& bar_;
    std::vector<TStatusPanel> panels_;
};

#pragma once
// Widgets the user types into or presses: push button, check box, edit field. Their
// accelerators are matched by their window (FormWindow), never by FLTK's own label rule.
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Input.H>

#include "platform/fltk/ControlMirror.h"

class TButton;
class TCheckBox;
class TEdit;

class PushButtonWidget : public Fl_Button, public ControlMirror {
  public:
    explicit PushButtonWidget(TButton& button);

    Fl_Widget& Widget() override { return *this; }
    void Update(TControl& control) override;
    int handle(int event) override;

  private:
    static void OnClick(Fl_Widget* widget, void* self);

    TButton& button_;
};

class CheckBoxWidget : public Fl_Check_Button, public ControlMirror {
  public:
    explicit CheckBoxWidget(TCheckBox& box);

    Fl_Widget& Widget() override { return *this; }
    void Update(TControl& control) override;
    int handle(int event) override;

  private:
    static void OnClick(Fl_Widget* widget, void* self);

    TCheckBox& box_;
};

// ImeMode has no counterpart here: the input method is left as the user set it.
class EditWidget : public Fl_Input, public ControlMirror {
  public:
    explicit EditWidget(TEdit& edit);

    Fl_Widget& Widget() override { return *this; }
    void Update(TControl& control) override;

  private:
    static void OnChange(Fl_Widget* widget, void* self);

    TEdit& edit_;
};

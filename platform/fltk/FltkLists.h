#pragma once
// The drop-down list (Fl_Choice) and the list box (Fl_Hold_Browser). Item texts show
// literally; the user's selection is fed back to the control's ItemIndex.
#include <FL/Fl_Choice.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Menu_Item.H>

#include <string>
#include <vector>

#include "platform/fltk/ControlMirror.h"

class TComboBox;
class TListBox;

class ComboBoxWidget : public Fl_Choice, public ControlMirror {
  public:
    explicit ComboBoxWidget(TComboBox& combo);

    Fl_Widget& Widget() override { return *this; }
    void Update(TControl& control) override;

  private:
    static void OnSelect(Fl_Widget* widget, void* self);
    void SetItems(const std::vector<std::string>& items);

    TComboBox& combo_;
    std::vector<std::string> items_;   // as the control holds them
    std::vector<std::string> labels_;  // as FLTK draws them
    std::vector<Fl_Menu_Item> menu_;   // points into labels_
};

class ListBoxWidget : public Fl_Hold_Browser, public ControlMirror {
  public:
    explicit ListBoxWidget(TListBox& list);

    Fl_Widget& Widget() override { return *this; }
    void Update(TControl& control) override;

  private:
    static void OnSelect(Fl_Widget* widget, void* self);
    void SetItems(const std::vector<std::string>& items);

    TListBox& list_;
    std::vector<std::string> items_;
};

#include "platform/fltk/FltkInputs.h"

#include <FL/Fl.H>

#include "toolkit/Application.h"
#include "toolkit/Buttons.h"
#include "toolkit/Edit.h"

PushButtonWidget::PushButtonWidget(TButton& button)
    : Fl_Button(button.Left(), button.Top(), button.Width(), button.Height()), button_(button) {
    callback(OnClick, this);
    Update(button);
}

void PushButtonWidget::OnClick(Fl_Widget*, void* self) {
    DispatchClick(static_cast<PushButtonWidget*>(self)->button_);
}

void PushButtonWidget::Update(TControl&) {
    UpdateCommon(*this, button_);
    UpdateLabel(*this, button_);
    UpdateLabelFont(*this, button_);
}

int PushButtonWidget::handle(int event) {
    if (event == FL_SHORTCUT) return 0;  // the window matches accelerators
    bool enter = Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter;
    if (event == FL_KEYBOARD && Fl::focus() == this && enter) {
        do_callback();  // Enter presses the focused button, as the space bar does
        return 1;
    }
    return Fl_Button::handle(event);
}

CheckBoxWidget::CheckBoxWidget(TCheckBox& box)
    : Fl_Check_Button(box.Left(), box.Top(), box.Width(), box.Height()), box_(box) {
    callback(OnClick, this);
    Update(box);
}

void CheckBoxWidget::OnClick(Fl_Widget*, void* self) {
    // The toolkit's click toggles Checked; Update then brings the box in line with it.
    DispatchClick(static_cast<CheckBoxWidget*>(self)->box_);
}

void CheckBoxWidget::Update(TControl&) {
    UpdateCommon(*this, box_);
    UpdateLabel(*this, box_);
    UpdateLabelFont(*this, box_);
    value(box_.Checked() ? 1 : 0);
}

int CheckBoxWidget::handle(int event) {
    return event == FL_SHORTCUT ? 0 : Fl_Check_Button::handle(event);
}

EditWidget::EditWidget(TEdit& edit)
    : Fl_Input(edit.Left(), edit.Top(), edit.Width(), edit.Height()), edit_(edit) {
    when(FL_WHEN_CHANGED);
    callback(OnChange, this);
    Update(edit);
}

void EditWidget::OnChange(Fl_Widget*, void* self) {
    auto* widget = static_cast<EditWidget*>(self);
    std::string text = widget->value();
    TEdit& edit = widget->edit_;
    if (Application != nullptr) Application->Dispatch([&] { edit.SetText(text); });
}

void EditWidget::Update(TControl&) {
    UpdateCommon(*this, edit_);
    FltkFont font = FontFor(edit_.Font());
    textfont(font.face);
    textsize(font.size);
    if (edit_.Text() != value()) value(edit_.Text().c_str());
}

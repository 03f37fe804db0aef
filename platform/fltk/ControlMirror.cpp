#include "platform/fltk/ControlMirror.h"

#include <FL/Fl_Widget.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include "platform/fltk/CjkFont.h"
#include "platform/fltk/FltkInputs.h"
#include "platform/fltk/FltkLabels.h"
#include "platform/fltk/FltkLists.h"
#include "platform/fltk/FltkStatusBar.h"
#include "platform/fltk/FltkText.h"
#include "platform/fltk/FltkToolButton.h"
#include "toolkit/Accelerator.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"

namespace {

template <class Control, class Widget>
ControlMirror* MakeIf(TControl& control) {
    auto* typed = dynamic_cast<Control*>(&control);
    return typed != nullptr ? new Widget(*typed) : nullptr;
}

}  // namespace

ControlMirror* MakeMirror(TControl& control) {
    using Maker = ControlMirror* (*)(TControl&);
    static const Maker makers[] = {
        MakeIf<TSpeedButton, ToolButtonWidget>,
        MakeIf<TButton, PushButtonWidget>,
        MakeIf<TCheckBox, CheckBoxWidget>,
        MakeIf<TEdit, EditWidget>,
        MakeIf<TLabel, LabelWidget>,
        MakeIf<TBevel, BevelWidget>,
        MakeIf<TStatusBar, StatusBarWidget>,
        MakeIf<TComboBox, ComboBoxWidget>,
        MakeIf<TListBox, ListBoxWidget>,
    };
    for (Maker make : makers) {
        if (ControlMirror* mirror = make(control)) return mirror;
    }
    return nullptr;
}

void UpdateCommon(Fl_Widget& widget, const TControl& control) {
    if (widget.x() != control.Left() || widget.y() != control.Top() ||
        widget.w() != control.Width() || widget.h() != control.Height()) {
        widget.resize(control.Left(), control.Top(), control.Width(), control.Height());
        if (widget.window() != nullptr) widget.window()->redraw();
    }
    if (control.Visible() && !widget.visible()) widget.show();
    if (!control.Visible() && widget.visible()) widget.hide();
    if (control.Enabled() && !widget.active()) widget.activate();
    if (!control.Enabled() && widget.active()) widget.deactivate();
    // A tool tip whenever there is a hint: every hint of these windows is meant to be seen.
    const char* tip = widget.tooltip();
    std::string hint = LiteralLabel(control.Hint());
    if (hint.empty()) {
        if (tip != nullptr) widget.copy_tooltip(nullptr);
    } else if (tip == nullptr || hint != tip) {
        widget.copy_tooltip(hint.c_str());
    }
}

void UpdateLabel(Fl_Widget& widget, const TControl& control) {
    std::string label = LiteralLabel(control.Caption());
    const char* current = widget.label();
    if (current != nullptr && label == current) return;
    widget.copy_label(label.c_str());
    widget.redraw();
}

FltkFont FontFor(const TFont& font, int defaultSize) {
    return FltkFont{FaceForFontName(font.Name),
                    static_cast<Fl_Fontsize>(FontSizeForHeight(font.Height, defaultSize))};
}

void UpdateLabelFont(Fl_Widget& widget, const TControl& control) {
    FltkFont font = FontFor(control.Font());
    widget.labelfont(font.face);
    widget.labelsize(font.size);
}

void DispatchClick(TControl& control) {
    if (Application != nullptr) Application->Dispatch([&control] { control.Click(); });
}

Fl_Fontsize FittingSize(const std::string& text, Fl_Font face, Fl_Fontsize size, int width,
                        Fl_Fontsize minimum) {
    std::string shown = CaptionWithoutAmpersand(text);
    for (; size > minimum; --size) {
        fl_font(face, size);
        if (fl_width(shown.c_str()) <= width) break;
    }
    return size;
}

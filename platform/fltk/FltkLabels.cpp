#include "platform/fltk/FltkLabels.h"

#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <string>

LabelWidget::LabelWidget(TLabel& label)
    : Fl_Box(label.Left(), label.Top(), label.Width(), label.Height()), label_(label) {
    box(FL_NO_BOX);
    align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE);
    set_flag(SHORTCUT_LABEL);  // "&x" draws x underlined
    Update(label);
}

void LabelWidget::Update(TControl&) {
    std::string before = label() != nullptr ? label() : "";
    UpdateCommon(*this, label_);
    UpdateLabel(*this, label_);
    UpdateLabelFont(*this, label_);
    // The text may reach beyond the box, where only the window repaints.
    if (window() != nullptr && before != label()) window()->redraw();
}

// A label may reach beyond its box up to the window's edge, as an auto-sized label grows.
void LabelWidget::draw() {
    int room = window() != nullptr ? window()->w() - x() - 2 : w();
    Fl_Fontsize size = labelsize();
    labelsize(FittingSize(label(), labelfont(), size, std::max(room, w())));
    Fl_Box::draw();
    labelsize(size);
}

BevelWidget::BevelWidget(TBevel& bevel)
    : Fl_Box(bevel.Left(), bevel.Top(), bevel.Width(), bevel.Height()), bevel_(bevel) {
    box(FL_NO_BOX);
    Update(bevel);
}

void BevelWidget::Update(TControl&) {
    UpdateCommon(*this, bevel_);
    shape_ = bevel_.Shape();
    redraw();
}

// A sunken line: a shadow line with a highlight beside it.
void BevelWidget::DrawLine(int x0, int y0, int x1, int y1) {
    bool horizontal = y0 == y1;
    fl_color(FL_DARK3);
    fl_line(x0, y0, x1, y1);
    fl_color(FL_LIGHT3);
    if (horizontal) {
        fl_line(x0, y0 + 1, x1, y1 + 1);
    } else {
        fl_line(x0 + 1, y0, x1 + 1, y1);
    }
}

void BevelWidget::draw() {
    int right = x() + w() - 2;
    int bottom = y() + h() - 2;
    switch (shape_) {
        case bsTopLine:
            DrawLine(x(), y(), x() + w() - 1, y());
            break;
        case bsBottomLine:
            DrawLine(x(), bottom, x() + w() - 1, bottom);
            break;
        case bsLeftLine:
            DrawLine(x(), y(), x(), y() + h() - 1);
            break;
        case bsRightLine:
            DrawLine(right, y(), right, y() + h() - 1);
            break;
        case bsBox:
        case bsFrame:
            draw_box(FL_ENGRAVED_FRAME, x(), y(), w(), h(), color());
            break;
        case bsSpacer:
            break;
    }
}

#include "platform/fltk/FltkStatusBar.h"

#include <FL/fl_draw.H>

#include <algorithm>

namespace {

constexpr int kTextMargin = 3;

Fl_Boxtype FrameOf(TStatusPanelBevel bevel) {
    switch (bevel) {
        case pbRaised:
            return FL_THIN_UP_BOX;
        case pbLowered:
            return FL_THIN_DOWN_BOX;
        case pbNone:
            break;
    }
    return FL_FLAT_BOX;
}

}  // namespace

StatusBarWidget::StatusBarWidget(TStatusBar& bar)
    : Fl_Widget(bar.Left(), bar.Top(), bar.Width(), bar.Height()), bar_(bar) {
    box(FL_FLAT_BOX);
    Update(bar);
}

void StatusBarWidget::Update(TControl&) {
    UpdateCommon(*this, bar_);
    UpdateLabelFont(*this, bar_);
    panels_ = bar_.Panels();
    if (bar_.SimplePanel()) {
        // One text over the whole bar: the first panel's, without a frame.
        std::string text = panels_.empty() ? std::string() : panels_.front().Text;
        panels_ = {TStatusPanel{text, w(), pbNone}};
    }
    redraw();
}

void StatusBarWidget::draw() {
    draw_box(FL_FLAT_BOX, x(), y(), w(), h(), color());
    int left = x();
    int right = x() + w();
    for (const TStatusPanel& panel : panels_) {
        if (left >= right) break;
        DrawPanel(panel, left, std::min(panel.Width, right - left));
        left += panel.Width;
    }
}

void StatusBarWidget::DrawPanel(const TStatusPanel& panel, int left, int width) {
    draw_box(FrameOf(panel.Bevel), left, y(), width, h(), color());
    fl_font(labelfont(), labelsize());
    fl_color(active_r() ? labelcolor() : fl_inactive(labelcolor()));
    fl_push_clip(left + 1, y() + 1, width - 2, h() - 2);
    // No symbol codes: the text is shown as it is.
    fl_draw(panel.Text.c_str(), left + kTextMargin, y(), width - 2 * kTextMargin, h(),
            FL_ALIGN_LEFT, nullptr, 0);
    fl_pop_clip();
}

#include "platform/fltk/FltkToolButton.h"

#include <FL/Fl.H>
#include <FL/Fl_Image.H>
#include <FL/fl_draw.H>

#include "toolkit/Buttons.h"

namespace {

// Space between the glyph and the caption.
constexpr int kSpacing = 2;

}  // namespace

ToolButtonWidget::ToolButtonWidget(TSpeedButton& button)
    : Fl_Button(button.Left(), button.Top(), button.Width(), button.Height()), button_(button) {
    clear_visible_focus();
    box(FL_NO_BOX);
    callback(OnClick, this);
    Update(button);
}

void ToolButtonWidget::OnClick(Fl_Widget*, void* self) {
    DispatchClick(static_cast<ToolButtonWidget*>(self)->button_);
}

void ToolButtonWidget::Update(TControl&) {
    UpdateCommon(*this, button_);
    UpdateLabel(*this, button_);
    FltkFont font = FontFor(button_.Font(), 11);
    labelfont(font.face);
    labelsize(font.size);
    glyph_ = FindGlyph(button_.Glyph(), button_.NumGlyphs());
    flat_ = button_.Flat();
    redraw();
}

int ToolButtonWidget::handle(int event) {
    switch (event) {
        case FL_ENTER:
            SetHover(true);
            Fl_Button::handle(event);
            return 1;
        case FL_LEAVE:
            SetHover(false);
            return Fl_Button::handle(event);
        case FL_SHORTCUT:
            return 0;  // the window matches accelerators through the toolkit
        default:
            return Fl_Button::handle(event);
    }
}

void ToolButtonWidget::SetHover(bool hover) {
    if (hover_ == hover) return;
    hover_ = hover;
    redraw();
}

Fl_Boxtype ToolButtonWidget::Frame() const {
    if (value() != 0) return FL_THIN_DOWN_BOX;
    if (!flat_) return FL_UP_BOX;
    return hover_ && active_r() ? FL_THIN_UP_BOX : FL_NO_BOX;
}

void ToolButtonWidget::draw() {
    // The background is painted first so that a frame drawn on hover disappears again.
    fl_rectf(x(), y(), w(), h(), parent() != nullptr ? parent()->color() : color());
    Fl_Boxtype frame = Frame();
    if (frame != FL_NO_BOX) draw_box(frame, x(), y(), w(), h(), color());
    int glyphHeight = glyph_.normal != nullptr ? glyph_.normal->h() : 0;
    bool captioned = label() != nullptr && label()[0] != '\0';
    fl_font(labelfont(), labelsize());
    int textHeight = captioned ? fl_height() : 0;
    int block = glyphHeight + textHeight + (glyphHeight > 0 && captioned ? kSpacing : 0);
    int top = y() + (h() - block) / 2 + (value() != 0 ? 1 : 0);
    DrawGlyph(top);
    if (captioned) DrawCaption(top + block - textHeight, textHeight);
}

void ToolButtonWidget::DrawGlyph(int top) {
    Fl_Image* image = active_r() ? glyph_.normal : glyph_.disabled;
    if (image == nullptr) return;
    int left = x() + (w() - image->w()) / 2 + (value() != 0 ? 1 : 0);
    image->draw(left, top);
}

void ToolButtonWidget::DrawCaption(int top, int height) {
    fl_font(labelfont(), FittingSize(label(), labelfont(), labelsize(), w() - 2, 8));
    fl_color(active_r() ? labelcolor() : fl_inactive(labelcolor()));
    fl_push_clip(x(), y(), w(), h());
    fl_draw_shortcut = 1;  // "&x" draws x underlined
    fl_draw(label(), x() - 8, top, w() + 16, height, FL_ALIGN_CENTER);
    fl_draw_shortcut = 0;
    fl_pop_clip();
}

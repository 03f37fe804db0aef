#include "toolkit/Control.h"

#include "toolkit/Backend.h"
#include "toolkit/Form.h"

TControl::TControl(TForm* parent, std::string name) : parent_(parent), name_(std::move(name)) {
    if (parent_ != nullptr) parent_->AddControl(this);
}

TControl::~TControl() {
    if (parent_ != nullptr) parent_->RemoveControl(this);
    CurrentBackend().ControlDestroyed(*this);
}

void TControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    if (left_ == left && top_ == top && width_ == width && height_ == height) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Changed();
}

const TFont& TControl::Font() const {
    return parentFont_ && parent_ != nullptr ? parent_->Font() : font_;
}

void TControl::SetFont(TFont value) {
    parentFont_ = false;
    font_ = std::move(value);
    Changed();
}

void TControl::Click() {
    if (!enabled_ || !visible_) return;
    Clicked();
    if (OnClick) OnClick(this);
}

void TControl::Update() {
    CurrentBackend().Repaint();
}

void TControl::Changed() {
    CurrentBackend().ControlChanged(*this);
}

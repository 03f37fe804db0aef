#pragma once
// A single-line edit field.
#include <string>

#include "toolkit/Control.h"

// The input method's mode while the field has the focus (imSAlpha: half-width alphanumeric).
enum TImeMode {
    imDisable,
    imClose,
    imOpen,
    imDontCare,
    imSAlpha,
    imAlpha,
    imHira,
    imSKata,
    imKata,
    imChinese,
    imSHanguel,
    imHanguel
};

class TEdit : public TControl {
  public:
    using TControl::TControl;

    // Backends store what the user typed here.
    const std::string& Text() const { return text_; }
    void SetText(std::string value) { Assign(text_, std::move(value)); }
    TImeMode ImeMode() const { return imeMode_; }
    void SetImeMode(TImeMode value) { Assign(imeMode_, value); }

  private:
    std::string text_;
    TImeMode imeMode_ = imDontCare;
};

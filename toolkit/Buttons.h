#pragma once
// Clickable controls: flat tool buttons, push buttons and check boxes.
#include <cstdint>
#include <string>

#include "toolkit/Control.h"

// A tool button: no focus, a glyph (named by its resource id) above the caption.
class TSpeedButton : public TControl {
  public:
    using TControl::TControl;

    bool Flat() const { return flat_; }
    void SetFlat(bool value) { Assign(flat_, value); }
    // The resource id of the glyph bitmap; empty for none.
    const std::string& Glyph() const { return glyph_; }
    void SetGlyph(std::string value) { Assign(glyph_, std::move(value)); }
    // How many images the glyph strip holds side by side (normal, disabled, ...).
    int32_t NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int32_t value) { Assign(numGlyphs_, value); }

    bool Accelerate() override;

  private:
    bool flat_ = false;
    std::string glyph_;
    int32_t numGlyphs_ = 1;
};

// A push button. A click on one with a modal result first sets its form's ModalResult.
class TButton : public TControl {
  public:
    using TControl::TControl;

    int ModalResult() const { return modalResult_; }
    void SetModalResult(int value) { modalResult_ = value; }

    bool Accelerate() override;

  protected:
    void Clicked() override;

  private:
    int modalResult_ = 0;
};

// A check box; a click toggles it before OnClick.
class TCheckBox : public TControl {
  public:
    using TControl::TControl;

    bool Checked() const { return checked_; }
    void SetChecked(bool value) { Assign(checked_, value); }

    bool Accelerate() override;

  protected:
    void Clicked() override { SetChecked(!checked_); }

  private:
    bool checked_ = false;
};

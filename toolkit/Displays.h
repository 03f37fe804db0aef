#pragma once
// Controls that only show something: labels, bevels and the status bar.
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/Control.h"

// A text. Its accelerator moves the focus to FocusControl.
class TLabel : public TControl {
  public:
    using TControl::TControl;

    TControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TControl* control) { focusControl_ = control; }

    bool Accelerate() override;

  private:
    TControl* focusControl_ = nullptr;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };

// A sunken line or frame.
class TBevel : public TControl {
  public:
    using TControl::TControl;

    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape value) { Assign(shape_, value); }

  private:
    TBevelShape shape_ = bsBox;
};

enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

struct TStatusPanel {
    std::string Text;
    int32_t Width = 50;
    TStatusPanelBevel Bevel = pbLowered;

    friend bool operator==(const TStatusPanel&, const TStatusPanel&) = default;
};

// A status bar of panels side by side.
class TStatusBar : public TControl {
  public:
    using TControl::TControl;

    const std::vector<TStatusPanel>& Panels() const { return panels_; }
    void SetPanels(std::vector<TStatusPanel> panels) { Assign(panels_, std::move(panels)); }
    // The text of the panel at index; an index outside the panels is ignored.
    void SetPanelText(std::size_t index, std::string text);

    // One text over the whole bar instead of the panels.
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool value) { Assign(simplePanel_, value); }
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool value) { Assign(sizeGrip_, value); }

  private:
    std::vector<TStatusPanel> panels_;
    bool simplePanel_ = false;
    bool sizeGrip_ = true;
};

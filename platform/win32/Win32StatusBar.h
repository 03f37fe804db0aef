#pragma once
// The status bar: the common control, not docked and without a size grip, at the place and
// size the layout gives it, with the toolkit's panels (or its one simple text).
#include <vector>

#include "platform/win32/Win32ControlMirror.h"
#include "toolkit/Displays.h"

class StatusBarMirror : public Win32Mirror {
  public:
    StatusBarMirror(TStatusBar& bar, HWND parent);

    void Update() override;
    bool Focusable() const override { return false; }

  private:
    void SetPanels();
    void SetSimpleText();

    TStatusBar& bar_;
    std::vector<TStatusPanel> panels_;
    bool simple_ = false;
    bool applied_ = false;
};

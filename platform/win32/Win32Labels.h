#pragma once
// Controls that only show something: the label (a STATIC whose "&" letter is underlined)
// and the bevel (a window class of its own that draws a sunken line or frame).
#include "platform/win32/Win32ControlMirror.h"
#include "toolkit/Displays.h"

// A label grows to its text, as an auto-sized label does: text that the layout made to fit
// in another font is not cut off.
class LabelMirror : public Win32Mirror {
  public:
    LabelMirror(TLabel& label, HWND parent);

    void Update() override;
    bool Focusable() const override { return false; }

  private:
    SIZE TextSize() const;

    TLabel& label_;
};

// A line bevel's window covers only its line, so that it never paints over the controls
// that its box overlaps.
class BevelMirror : public Win32Mirror {
  public:
    BevelMirror(TBevel& bevel, HWND parent);
    ~BevelMirror() override;

    void Update() override;
    bool Focusable() const override { return false; }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();

    TBevel& bevel_;
};

#pragma once
// The flat tool button, a window class of its own: no frame until the mouse is over it, the
// glyph above the caption (the glyph alone when there is no caption), the caption's "&"
// letter underlined, greyed when disabled. It never takes the focus; its accelerator is
// matched by its form window. It keeps its window enabled while the control is disabled,
// so that its tool tip still shows; it then ignores the mouse.
#include "platform/win32/Win32ControlMirror.h"
#include "platform/win32/Win32Glyphs.h"

class TSpeedButton;

class ToolButtonMirror : public Win32Mirror {
  public:
    ToolButtonMirror(TSpeedButton& button, HWND parent);
    ~ToolButtonMirror() override;

    void Update() override;
    bool Focusable() const override { return false; }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void MouseDown();
    void MouseMove(POINT point);
    void MouseUp(POINT point);
    void MouseLeft();
    void SetLook(bool hover, bool pressed);
    bool Inside(POINT point) const;
    void Paint();
    void PaintFrame(HDC dc, const RECT& area) const;
    void PaintCaption(HDC dc, RECT area) const;

    TSpeedButton& button_;
    GlyphBitmaps glyph_;
    bool enabled_ = true;
    bool hover_ = false;
    bool pressed_ = false;
    bool tracking_ = false;  // the mouse went down here and is captured
};

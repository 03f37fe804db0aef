#pragma once
// A real window (a native control) that shows one toolkit control. Each kind derives from
// Win32Mirror; Update copies the control's state onto the window, and the window's
// notifications (Command) feed the user's input back through Application->Dispatch.
// Texts are code page 932 in the toolkit and go to the windows as UTF-16.
#include <functional>
#include <string>

#include "platform/win32/WindowsApi.h"
#include "toolkit/Control.h"

class Win32Mirror {
  public:
    explicit Win32Mirror(TControl& control) : control_(control) {}
    virtual ~Win32Mirror();
    Win32Mirror(const Win32Mirror&) = delete;
    Win32Mirror& operator=(const Win32Mirror&) = delete;

    HWND Handle() const { return window_; }
    TControl& Control() const { return control_; }

    // Reads every property of the control.
    virtual void Update() = 0;
    // A WM_COMMAND notification (BN_CLICKED, CBN_SELCHANGE...) from the window.
    virtual void Command(WORD) {}
    // Whether the window may take the keyboard focus at all.
    virtual bool Focusable() const { return true; }
    // Whether a letter typed while it has the focus may be an accelerator (buttons, which
    // have no use for typed letters).
    virtual bool LettersAreAccelerators() const { return false; }
    // Enter pressed while it has the focus; whether it did something.
    virtual bool EnterPressed() { return false; }
    // An edit field: it takes the focus from the keyboard with its text selected, and its
    // Enter and Escape characters, which it would only beep at, are dropped.
    virtual bool IsTextField() const { return false; }

    // Whether Tab stops at the window: focusable controls that can be seen.
    void SetTabStop(bool stop);

  protected:
    void Create(HWND parent, const wchar_t* windowClass, DWORD style, DWORD exStyle = 0,
                void* creationData = nullptr);
    // Position, size, visibility, enabled state, as the control holds them.
    void UpdateCommon();
    void UpdateBounds(int left, int top, int width, int height);
    void UpdateVisible();
    void UpdateEnabled();
    // The window text; "&" marks stay for the window to underline.
    void UpdateText(const std::string& text);
    void UpdateFont(const TFont& font);
    void UpdateFont(HFONT font);
    // The font in which the caption fits width pixels (see SelectFittingFont).
    HFONT FittingFont(const TFont& font, const std::string& caption, int width) const;
    HFONT Font() const { return font_; }

    TControl& control_;
    HWND window_ = nullptr;

  private:
    std::string text_;
    bool textSet_ = false;
    HFONT font_ = nullptr;
    RECT bounds_{};
};

// The window for control, made in parent; null for a kind that has none.
Win32Mirror* MakeMirror(TControl& control, HWND parent);

// Runs handler through Application->Dispatch (its error reaches the message box).
void DispatchToToolkit(const std::function<void()>& handler);
// Runs the control's click as a user's click.
void DispatchClick(TControl& control);

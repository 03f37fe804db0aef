#pragma once
// Controls the user types into or presses: push button, check box, edit field. Their
// accelerators are matched by their form window through the toolkit.
#include <string>

#include "platform/win32/Win32ControlMirror.h"

class TButton;
class TCheckBox;
class TEdit;

class PushButtonMirror : public Win32Mirror {
  public:
    PushButtonMirror(TButton& button, HWND parent);

    void Update() override;
    void Command(WORD code) override;
    bool LettersAreAccelerators() const override { return true; }
    bool EnterPressed() override;

  private:
    TButton& button_;
};

// The toolkit's click toggles Checked; Update then brings the box in line with it.
class CheckBoxMirror : public Win32Mirror {
  public:
    CheckBoxMirror(TCheckBox& box, HWND parent);

    void Update() override;
    void Command(WORD code) override;
    bool LettersAreAccelerators() const override { return true; }

  private:
    TCheckBox& box_;
};

// While it has the focus, the input method follows the control's ImeMode (imSAlpha:
// half-width alphanumeric); the mode the user had is restored when the focus leaves.
class EditMirror : public Win32Mirror {
  public:
    EditMirror(TEdit& edit, HWND parent);

    void Update() override;
    void Command(WORD code) override;
    bool IsTextField() const override { return true; }

  private:
    void TextChanged();
    void ApplyImeMode();
    void RestoreImeMode();

    TEdit& edit_;
    std::string shown_;  // the text as the window holds it
    bool settingText_ = false;
    bool imeSaved_ = false;  // the user's input mode, while the field has the focus
    BOOL savedOpen_ = FALSE;
    DWORD savedConversion_ = 0;
    DWORD savedSentence_ = 0;
};

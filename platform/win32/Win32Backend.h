#pragma once
// The Windows backend of the toolkit: native windows and common controls for the forms, the
// system's file dialogs and message box, help in the default browser, and the UI thread's
// message loop with the journal's timers.
//
// Each form gets a window (made when the form or one of its controls first changes) and each
// control a child window in it; the user's clicks, typing and close requests go back
// through Application->Dispatch, so that an error of a handler reaches the message box.
// A modal form disables the other forms' windows while it is shown.
#include <map>
#include <vector>

#include "platform/win32/WindowsApi.h"
#include "toolkit/Backend.h"

class Win32FormWindow;

class Win32Backend : public Backend {
  public:
    Win32Backend();
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    void ControlChanged(TControl& control) override;
    void ControlDestroyed(TControl& control) override;
    void FormShown(TForm& form) override;
    void FormHidden(TForm& form) override;
    void RunModal(TForm& form) override;
    bool ExecuteFileDialog(TFileDialog& dialog) override;
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       uint32_t flags) override;
    bool ShowHelp(const std::string& file, uint32_t command, uintptr_t data) override;
    void Repaint() override;
    void PumpEvents() override;
    bool WaitForEvents() override;

  private:
    Win32FormWindow& WindowOf(TForm& form);
    // The window that dialogs stay above: the active form's, else the main form's.
    HWND DialogOwner() const;
    void DisableOtherWindows(TForm& modal);
    void EnableOtherWindows(TForm& modal);

    std::map<const TControl*, Win32FormWindow*> windows_;  // by form
    std::map<const TForm*, std::vector<HWND>> disabledByModal_;
};

#pragma once
// The Windows backend of the toolkit: the UI thread's message loop with the journal's timers,
// and the system's message box.
#include "toolkit/Backend.h"

class Win32Backend : public Backend {
  public:
    void ControlChanged(TControl& control) override;
    void ControlDestroyed(TControl& control) override;
    void FormShown(TForm& form) override;
    void FormHidden(TForm& form) override;
    bool ExecuteFileDialog(TFileDialog& dialog) override;
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       uint32_t flags) override;
    bool ShowHelp(const std::string& file, uint32_t command, uintptr_t data) override;
    void PumpEvents() override;
    bool WaitForEvents() override;
};

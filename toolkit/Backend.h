#pragma once
// What a platform provides to the control layer. One backend is installed at a time; it
// mirrors control state onto real widgets and feeds real input back: clicks through
// TApplication::Dispatch(control.Click()), typing through the setters (TEdit::SetText...),
// window closing through Dispatch(form.Close()), posted system messages through
// TApplication::Post. Until one is installed a silent backend stands in.
#include <cstdint>
#include <string>

class TControl;
class TForm;
class TFileDialog;

class Backend {
  public:
    virtual ~Backend() = default;

    // A property of control (a form included) changed; the backend reads its new state.
    virtual void ControlChanged(TControl& control) = 0;
    // control is being destroyed: only its address is still meaningful.
    virtual void ControlDestroyed(TControl& control) = 0;
    virtual void FormShown(TForm& form) = 0;
    virtual void FormHidden(TForm& form) = 0;

    // The modal loop of a shown form: handles events and the application's messages until
    // form.ModalResult() is set, the application terminates or nothing can happen any more.
    // The default runs TApplication::HandleMessage in a loop.
    virtual void RunModal(TForm& form);

    // Shows the system's file dialog; on OK stores the chosen path in dialog.FileName.
    virtual bool ExecuteFileDialog(TFileDialog& dialog) = 0;
    // Returns the button pressed (kIdOk...).
    virtual int ShowMessageBox(const std::string& text, const std::string& caption,
                               uint32_t flags) = 0;
    virtual bool ShowHelp(const std::string& file, uint32_t command, uintptr_t data) = 0;

    // Draws the controls' changes now, without handling input or messages.
    virtual void Repaint() {}
    // Handles the events already pending, without waiting.
    virtual void PumpEvents() = 0;
    // Waits for at least one event and handles it; false when none can ever come again.
    virtual bool WaitForEvents() = 0;
};

// Installs backend (null: the silent one, whose message boxes go to stderr).
void SetBackend(Backend* backend);
Backend& CurrentBackend();

#pragma once
// The FLTK 1.3 backend of the toolkit. Each form gets an FLTK window (made when the form is
// first shown or one of its controls changes) and each control a widget in it; the user's
// clicks, typing and close requests go back through Application->Dispatch, so that an error
// of a handler reaches the application's message box.
//
// Use: construct it before the application makes its forms, install it with
// SetBackend(&backend), and keep it until the application object is gone. Its constructor
// puts a Japanese-capable font behind FLTK's faces. It knows no input journal: the program's
// platform entry connects the journal to the application.
#include <functional>
#include <map>
#include <memory>

#include "platform/fltk/FltkHelp.h"
#include "toolkit/Backend.h"

class FormWindow;

class FltkBackend : public Backend {
  public:
    FltkBackend();
    ~FltkBackend() override;
    FltkBackend(const FltkBackend&) = delete;
    FltkBackend& operator=(const FltkBackend&) = delete;

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

  protected:
    // A line for the help page's About, asked each time the page is shown.
    void SetAboutText(std::function<std::string()> text) { help_.SetAboutText(std::move(text)); }

  private:
    FormWindow& WindowOf(TForm& form);

    std::map<const TControl*, FormWindow*> windows_;  // by form
    HelpViewer help_;
};

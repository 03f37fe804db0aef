#include "toolkit/Backend.h"

#include <cstdio>

#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Form.h"

namespace {

// Stands in while no platform is installed: nothing is shown, dialogs are cancelled.
class SilentBackend : public Backend {
  public:
    void ControlChanged(TControl&) override {}
    void ControlDestroyed(TControl&) override {}
    void FormShown(TForm&) override {}
    void FormHidden(TForm&) override {}
    void RunModal(TForm& form) override { form.SetModalResult(mrCancel); }
    bool ExecuteFileDialog(TFileDialog&) override { return false; }
    int ShowMessageBox(const std::string& text, const std::string& caption, uint32_t) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return kIdOk;
    }
    bool ShowHelp(const std::string&, uint32_t, uintptr_t) override { return false; }
    void PumpEvents() override {}
    bool WaitForEvents() override { return false; }
};

SilentBackend silentBackend;
Backend* installed = &silentBackend;

}  // namespace

void Backend::RunModal(TForm& form) {
    while (form.ModalResult() == mrNone && !Application->Terminated() &&
           Application->HandleMessage()) {
    }
}

void SetBackend(Backend* backend) {
    installed = backend != nullptr ? backend : &silentBackend;
}

Backend& CurrentBackend() {
    return *installed;
}

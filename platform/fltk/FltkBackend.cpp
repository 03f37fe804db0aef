#include "platform/fltk/FltkBackend.h"

#include <FL/Fl.H>
#include <FL/Fl_Tooltip.H>
#include <FL/Fl_Window.H>

#include "platform/common/PlaybackPump.h"
#include "platform/fltk/CjkFont.h"
#include "platform/fltk/FltkFileDialog.h"
#include "platform/fltk/FltkFormWindow.h"
#include "platform/fltk/FltkMessageBox.h"
#include "toolkit/Application.h"

namespace {

// The longest single wait; Fl::wait returns earlier at the first event, descriptor or timer.
constexpr double kLongestWait = 0.1;  // seconds

void Nothing(void*) {}

// Runs after the wait's due timers and before it blocks: a timer that ended the application
// or queued a message must not leave the loop asleep until the wait runs out.
void WakeForQueuedWork(void*) {
    if (Application == nullptr) return;
    if (Application->Terminated() || Application->HasQueuedMessages()) {
        Fl::add_timeout(0.0, &Nothing);
    }
}

}  // namespace

FltkBackend::FltkBackend() {
    // The windows' WM_CLASS, by which desktops group and name them: "tapewright",
    // "Tapewright".
    Fl_Window::default_xclass("tapewright");
    InstallJapaneseFaces();
    Fl_Tooltip::font(FL_HELVETICA);
    Fl_Tooltip::size(12);
}

FltkBackend::~FltkBackend() {
    for (auto& [form, window] : windows_) {
        window->Orphan();
        delete window;
    }
}

FormWindow& FltkBackend::WindowOf(TForm& form) {
    auto found = windows_.find(&form);
    if (found != windows_.end()) return *found->second;
    auto* window = new FormWindow(form);
    windows_.emplace(&form, window);
    return *window;
}

void FltkBackend::ControlChanged(TControl& control) {
    if (auto* form = dynamic_cast<TForm*>(&control)) {
        WindowOf(*form).Sync();
    } else if (control.Parent() != nullptr) {
        WindowOf(*control.Parent()).SyncControl(control);
    }
}

void FltkBackend::ControlDestroyed(TControl& control) {
    auto found = windows_.find(&control);
    if (found == windows_.end()) {
        for (auto& [form, window] : windows_) {
            if (window->DropControl(&control)) return;
        }
        return;
    }
    FormWindow* window = found->second;
    windows_.erase(found);
    window->Orphan();
    window->hide();
    Fl::delete_widget(window);  // the form may go inside one of the window's callbacks
}

void FltkBackend::FormShown(TForm& form) {
    WindowOf(form).ShowForm();
}

void FltkBackend::FormHidden(TForm& form) {
    auto found = windows_.find(&form);
    if (found != windows_.end()) found->second->HideForm();
}

void FltkBackend::RunModal(TForm& form) {
    WindowOf(form).ShowForm();
    Backend::RunModal(form);
}

bool FltkBackend::ExecuteFileDialog(TFileDialog& dialog) {
    return RunFileChooser(dialog);
}

int FltkBackend::ShowMessageBox(const std::string& text, const std::string& caption,
                                uint32_t flags) {
    return RunMessageBox(text, caption, flags);
}

bool FltkBackend::ShowHelp(const std::string& file, uint32_t, uintptr_t) {
    return help_.Show(file);
}

void FltkBackend::Repaint() {
    Fl::flush();
}

void FltkBackend::PumpEvents() {
    PlaybackPump::Hold hold;
    Fl::check();
}

// Waits even with no window shown: a hidden program may be running a playback, whose
// timers and descriptors wake the wait. The wait is bounded because a timer callback may
// end the application (the last pass of an unattended run), and nothing else would wake a
// program whose window was never shown.
bool FltkBackend::WaitForEvents() {
    if (Application != nullptr && Application->Terminated()) return false;
    Fl::add_check(&WakeForQueuedWork);
    Fl::wait(kLongestWait);
    Fl::remove_check(&WakeForQueuedWork);
    return true;
}

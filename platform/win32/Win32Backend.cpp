#include "platform/win32/Win32Backend.h"

#include "platform/common/PlaybackPump.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/TextConversion.h"
#include "platform/win32/Win32FileDialog.h"
#include "platform/win32/Win32FormWindow.h"
#include "platform/win32/Win32Help.h"
#include "platform/win32/WindowProcedureScope.h"
#include "toolkit/Application.h"

namespace {

BOOL CALLBACK PaintNow(HWND window, LPARAM) {
    UpdateWindow(window);
    return TRUE;
}

// The longest single wait; messages, input and due timers end it earlier.
constexpr DWORD kLongestWait = 100;  // ms
}  // namespace

Win32Backend::Win32Backend() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

Win32Backend::~Win32Backend() {
    for (auto& [form, window] : windows_) delete window;
}

Win32FormWindow& Win32Backend::WindowOf(TForm& form) {
    auto found = windows_.find(&form);
    if (found != windows_.end()) return *found->second;
    // Every other form stays above the main form, as a dialog above its owner.
    TForm* main = Application != nullptr ? Application->MainForm() : nullptr;
    HWND owner = nullptr;
    if (main != nullptr && main != &form) owner = WindowOf(*main).Handle();
    auto* window = new Win32FormWindow(form, owner);
    windows_.emplace(&form, window);
    return *window;
}

void Win32Backend::ControlChanged(TControl& control) {
    if (auto* form = dynamic_cast<TForm*>(&control)) {
        WindowOf(*form).Sync();
    } else if (control.Parent() != nullptr) {
        WindowOf(*control.Parent()).SyncControl(control);
    }
}

void Win32Backend::ControlDestroyed(TControl& control) {
    auto found = windows_.find(&control);
    if (found == windows_.end()) {
        for (auto& [form, window] : windows_) {
            if (window->DropControl(&control)) return;
        }
        return;
    }
    Win32FormWindow* window = found->second;
    windows_.erase(found);
    disabledByModal_.erase(static_cast<const TForm*>(&control));
    window->Orphan();
    ShowWindow(window->Handle(), SW_HIDE);
    // The form may go inside one of its window's procedures.
    WindowProcedureScope::DeleteLater([window] { delete window; });
}

void Win32Backend::FormShown(TForm& form) {
    if (form.Modal()) DisableOtherWindows(form);
    WindowOf(form).ShowForm();
}

void Win32Backend::FormHidden(TForm& form) {
    auto found = windows_.find(&form);
    if (found == windows_.end()) return;
    // Enabled first, so that the system activates the owner when the dialog goes.
    EnableOtherWindows(form);
    // An open menu (the system menu) goes with the window: its loop would keep the program
    // running after a run that ends with the program has closed the window.
    EndMenu();
    found->second->HideForm();
}

void Win32Backend::RunModal(TForm& form) {
    WindowOf(form).ShowForm();
    Backend::RunModal(form);
}

void Win32Backend::DisableOtherWindows(TForm& modal) {
    std::vector<HWND>& disabled = disabledByModal_[&modal];
    for (auto& [form, window] : windows_) {
        HWND handle = window->Handle();
        if (form == &modal || !IsWindowEnabled(handle)) continue;
        EnableWindow(handle, FALSE);
        disabled.push_back(handle);
    }
}

void Win32Backend::EnableOtherWindows(TForm& modal) {
    auto found = disabledByModal_.find(&modal);
    if (found == disabledByModal_.end()) return;
    for (HWND handle : found->second) {
        if (IsWindow(handle)) EnableWindow(handle, TRUE);
    }
    disabledByModal_.erase(found);
}

HWND Win32Backend::DialogOwner() const {
    HWND active = GetActiveWindow();
    for (const auto& [form, window] : windows_) {
        if (window->Handle() == active) return active;
    }
    TForm* main = Application != nullptr ? Application->MainForm() : nullptr;
    auto found = windows_.find(main);
    return found != windows_.end() && IsWindowVisible(found->second->Handle())
               ? found->second->Handle()
               : nullptr;
}

bool Win32Backend::ExecuteFileDialog(TFileDialog& dialog) {
    return RunFileDialog(dialog, DialogOwner());
}

int Win32Backend::ShowMessageBox(const std::string& text, const std::string& caption,
                                 uint32_t flags) {
    // On top, so that the main window, which stays on top, never covers it.
    return MessageBoxW(nullptr, WideFromProgramText(text).c_str(),
                       WideFromProgramText(caption).c_str(), flags | MB_TASKMODAL | MB_TOPMOST);
}

// Every help command shows the page: the program only ever asks for the contents.
bool Win32Backend::ShowHelp(const std::string& file, uint32_t, uintptr_t) {
    return OpenHelpPage(file, DialogOwner());
}

void Win32Backend::Repaint() {
    for (auto& [form, window] : windows_) {
        UpdateWindow(window->Handle());
        EnumChildWindows(window->Handle(), &PaintNow, 0);
    }
}

void Win32Backend::PumpEvents() {
    PlaybackPump::Hold hold;
    HandlePendingMessages();
}

// Waits even with no window shown: a hidden program may be running a playback, whose timers
// and input wake the wait.
bool Win32Backend::WaitForEvents() {
    if (Application != nullptr && Application->Terminated()) return false;
    WaitAndHandleMessages(kLongestWait);
    return true;
}

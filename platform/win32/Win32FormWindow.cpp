#include "platform/win32/Win32FormWindow.h"

#include <algorithm>
#include <vector>

#include "platform/win32/JournalWayItem.h"
#include "platform/win32/TextConversion.h"
#include "platform/win32/Win32ControlMirror.h"
#include "platform/win32/Win32Fonts.h"
#include "platform/win32/Win32ToolTips.h"
#include "platform/win32/WindowClasses.h"
#include "platform/win32/WindowProcedureScope.h"
#include "toolkit/Application.h"

namespace {

constexpr wchar_t kClassName[] = L"TapewrightForm";
constexpr UINT_PTR kChildSubclass = 1;

// The frame of a border style: a single border has no sizing frame, a dialog border no
// minimise or maximise box.
DWORD FrameStyle(TFormBorderStyle border, TBorderIcons icons) {
    DWORD style = WS_CLIPCHILDREN;
    switch (border) {
        case bsNone:
            return style | WS_POPUP;
        case bsDialog:
            icons &= biSystemMenu;
            style |= WS_POPUP | WS_CAPTION;
            break;
        case bsSizeable:
        case bsSizeToolWin:
            style |= WS_CAPTION | WS_THICKFRAME;
            break;
        default:
            style |= WS_CAPTION;
            break;
    }
    if (icons & biSystemMenu) style |= WS_SYSMENU;
    if (icons & biMinimize) style |= WS_MINIMIZEBOX;
    if (icons & biMaximize) style |= WS_MAXIMIZEBOX;
    return style;
}

DWORD ExtendedStyle(TFormBorderStyle border, TFormStyle formStyle) {
    DWORD extended = WS_EX_CONTROLPARENT;
    if (border == bsDialog) extended |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
    if (border == bsToolWindow || border == bsSizeToolWin) extended |= WS_EX_TOOLWINDOW;
    if (formStyle == fsStayOnTop) extended |= WS_EX_TOPMOST;
    return extended;
}

// The accelerator letter of a typed character ('a'..'z', '0'..'9'); 0 for any other.
char LetterOf(WPARAM key) {
    if (key >= 'A' && key <= 'Z') key += 'a' - 'A';
    bool letter = key >= 'a' && key <= 'z';
    bool digit = key >= '0' && key <= '9';
    return letter || digit ? static_cast<char>(key) : 0;
}

bool KeyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

}  // namespace

Win32FormWindow::Win32FormWindow(TForm& form, HWND owner) : form_(&form) {
    RegisterWindowClass(kClassName, &WindowProc, LoadIconW(GetModuleHandleW(nullptr), L"MAINICON"));
    styles_ = Styles{FrameStyle(form.BorderStyle(), form.BorderIcons()),
                     ExtendedStyle(form.BorderStyle(), form.FormStyle())};
    window_ = CreateWindowExW(styles_.extended, kClassName, L"", styles_.style, form.Left(),
                              form.Top(), 0, 0, owner, nullptr, GetModuleHandleW(nullptr), this);
    applied_ = Geometry{form.Left(), form.Top(), -1, -1};
    tips_ = std::make_unique<ToolTips>(window_);
    AddMissingMirrors();
    Sync();
}

Win32FormWindow::~Win32FormWindow() {
    form_ = nullptr;
    for (auto& [control, mirrored] : mirrors_) delete mirrored.mirror;
    mirrors_.clear();
    tips_.reset();
    DetachWindowObject(window_);
    DestroyWindow(window_);
}

LRESULT CALLBACK Win32FormWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    WindowProcedureScope scope;
    auto* self = WindowObject<Win32FormWindow>(window, message, lParam);
    // Nothing reaches the toolkit before CreateWindowExW has returned.
    if (self == nullptr || self->form_ == nullptr || self->window_ == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT Win32FormWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam != 0) Command(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
            return 0;
        case WM_CLOSE:
            RequestClose();
            return 0;
        case WM_QUERYENDSESSION:
            return QueryEndSession() ? TRUE : FALSE;
        case WM_ENDSESSION:
            if (wParam != FALSE) EndSession();
            return 0;
        case WM_MOVE:
            FeedBackPosition();
            return 0;
        case WM_ACTIVATE:
            Activated(wParam);
            return 0;
        case WM_INITMENUPOPUP:
            // The main window's system menu says which way the input journal works.
            if (HIWORD(lParam) != 0 && Application != nullptr && Application->MainForm() == form_) {
                ShowJournalWay(window_);
            }
            break;
        case WM_KEYDOWN:
        case WM_CHAR:
        case WM_SYSCHAR:
            if (HandleKey(nullptr, message, wParam)) return 0;
            break;
        case WM_CTLCOLORSTATIC: {
            auto dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK Win32FormWindow::ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR data) {
    WindowProcedureScope scope;
    auto* self = reinterpret_cast<Win32FormWindow*>(data);
    switch (message) {
        case WM_SETFOCUS:
            self->ChildFocused(window);
            break;
        case WM_KEYDOWN:
        case WM_CHAR:
        case WM_SYSCHAR:
            if (self->HandleKey(self->MirrorOf(window), message, wParam)) return 0;
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, &ChildProc, kChildSubclass);
            break;
        default:
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// from: the control that has the focus, or null for the window itself. True when the key
// was used up here.
bool Win32FormWindow::HandleKey(Win32Mirror* from, UINT message, WPARAM key) {
    if (form_ == nullptr) return false;
    switch (message) {
        case WM_KEYDOWN:
            if (key == VK_TAB && !KeyDown(VK_CONTROL) && !KeyDown(VK_MENU)) {
                MoveFocus(KeyDown(VK_SHIFT));
                return true;
            }
            return key == VK_RETURN && from != nullptr && from->EnterPressed();
        case WM_CHAR:
            if (key == '\t') return true;  // its key moved the focus
            if ((key == '\r' || key == 0x1B) && from != nullptr && from->IsTextField()) {
                return true;
            }
            if (from != nullptr && !from->LettersAreAccelerators()) return false;
            return LetterOf(key) != 0 && PressAccelerator(LetterOf(key));
        case WM_SYSCHAR:
            return LetterOf(key) != 0 && PressAccelerator(LetterOf(key));
        default:
            return false;
    }
}

bool Win32FormWindow::PressAccelerator(char letter) {
    bool pressed = false;
    TForm* form = form_;
    DispatchToToolkit([form, letter, &pressed] { pressed = form->PressAccelerator(letter); });
    return pressed;
}

void Win32FormWindow::Command(HWND child, WORD code) {
    if (Win32Mirror* mirror = MirrorOf(child)) mirror->Command(code);
}

void Win32FormWindow::RequestClose() {
    TForm* form = form_;
    DispatchToToolkit([form] { form->Close(); });
}

bool Win32FormWindow::IsMainWindow() const {
    return form_ != nullptr && Application != nullptr && Application->MainForm() == form_;
}

// The system asks whether the session may end: to the main window that is a close request,
// which stores the position as any close does. A write that fails keeps the session, as it
// keeps the window open.
bool Win32FormWindow::QueryEndSession() {
    if (!IsMainWindow()) return true;
    TForm* form = form_;
    bool allowed = true;
    const bool ran = Application->Dispatch([form, &allowed] { allowed = form->CloseQuery(); });
    return ran && allowed;
}

// The session ends, and the process with it, when this returns: nobody answers a message box
// from here on, and a recording or playback ends now, as on the user's journal cancel, which
// lets go of every key and button the playback holds down.
void Win32FormWindow::EndSession() {
    if (!IsMainWindow()) return;
    Application->EndSession();
    DispatchToToolkit([] {
        if (!Application->OnMessage) return;
        TMsg cancel{0, WM_CANCELJOURNAL};
        bool handled = false;
        Application->OnMessage(cancel, handled);
    });
}

Win32Mirror* Win32FormWindow::MirrorOf(HWND child) const {
    for (const auto& [control, mirrored] : mirrors_) {
        if (mirrored.mirror->Handle() == child) return mirrored.mirror;
    }
    return nullptr;
}

void Win32FormWindow::AddMirror(TControl& control) {
    Win32Mirror* mirror = MakeMirror(control, window_);
    if (mirror == nullptr) return;
    mirrors_[&control] = Mirrored{mirror, control.TabOrder()};
    SetWindowSubclass(mirror->Handle(), &ChildProc, kChildSubclass,
                      reinterpret_cast<DWORD_PTR>(this));
    tips_->Set(mirror->Handle(), control.Hint());
}

// Every control of the form gets its window, also one made after the form's window and
// never changed since.
void Win32FormWindow::AddMissingMirrors() {
    std::size_t before = mirrors_.size();
    for (TControl* control : form_->Controls()) {
        if (!mirrors_.contains(control)) AddMirror(*control);
    }
    if (mirrors_.size() == before) return;
    SortByTabOrder();
    UpdateTabStops();
}

// Tab moves through the windows in their z-order: that order follows TabOrder.
void Win32FormWindow::SortByTabOrder() {
    std::vector<std::pair<TControl*, HWND>> order;
    for (TControl* control : form_->Controls()) {
        auto found = mirrors_.find(control);
        if (found != mirrors_.end()) order.emplace_back(control, found->second.mirror->Handle());
    }
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        return a.first->TabOrder() < b.first->TabOrder();
    });
    HWND previous = HWND_TOP;
    for (const auto& [control, child] : order) {
        SetWindowPos(child, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = child;
    }
}

// Controls outside the client area are never seen, and so never get the focus.
void Win32FormWindow::UpdateTabStops() {
    RECT client{0, 0, form_->ClientWidth(), form_->ClientHeight()};
    for (auto& [control, mirrored] : mirrors_) {
        RECT bounds{control->Left(), control->Top(), control->Left() + control->Width(),
                    control->Top() + control->Height()};
        RECT common{};
        bool inside = IntersectRect(&common, &client, &bounds) != FALSE;
        mirrored.mirror->SetTabStop(mirrored.mirror->Focusable() && inside);
    }
}

void Win32FormWindow::Sync() {
    if (form_ == nullptr) return;
    std::wstring caption = WideFromProgramText(form_->Caption());
    if (caption != caption_) {
        caption_ = caption;
        SetWindowTextW(window_, caption_.c_str());
    }
    tips_->SetFont(FontHandle(form_->Font()));
    SyncStyles();
    if (!feedingBack_) SyncGeometry();
    SyncFocus();
}

void Win32FormWindow::SyncStyles() {
    Styles wanted{FrameStyle(form_->BorderStyle(), form_->BorderIcons()),
                  ExtendedStyle(form_->BorderStyle(), form_->FormStyle())};
    if (wanted == styles_) return;
    bool topmost = (wanted.extended & WS_EX_TOPMOST) != 0;
    bool wasTopmost = (styles_.extended & WS_EX_TOPMOST) != 0;
    DWORD visible = GetWindowLongPtrW(window_, GWL_STYLE) & WS_VISIBLE;
    styles_ = wanted;
    SetWindowLongPtrW(window_, GWL_STYLE, wanted.style | visible);
    SetWindowLongPtrW(window_, GWL_EXSTYLE, wanted.extended & ~DWORD{WS_EX_TOPMOST});
    // The frame changed: the outer size is worked out again for the same client size.
    applied_.width = -1;
    UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED;
    HWND after = topmost ? HWND_TOPMOST : HWND_NOTOPMOST;
    SetWindowPos(window_, after, 0, 0, 0, 0, flags | (topmost == wasTopmost ? SWP_NOZORDER : 0));
}

void Win32FormWindow::SyncGeometry() {
    Geometry wanted{form_->Left(), form_->Top(), form_->ClientWidth(), form_->ClientHeight()};
    if (wanted == applied_) return;
    bool moved = wanted.left != applied_.left || wanted.top != applied_.top;
    bool resized = wanted.width != applied_.width || wanted.height != applied_.height;
    applied_ = wanted;
    RECT outer{0, 0, wanted.width, wanted.height};
    AdjustWindowRectEx(&outer, styles_.style, FALSE, styles_.extended);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (moved ? 0 : SWP_NOMOVE);
    applying_ = true;
    SetWindowPos(window_, nullptr, wanted.left, wanted.top, outer.right - outer.left,
                 outer.bottom - outer.top, flags);
    applying_ = false;
    if (resized) UpdateTabStops();
}

void Win32FormWindow::SyncFocus() {
    TControl* active = form_->ActiveControl();
    if (active == activeApplied_) return;
    activeApplied_ = active;
    auto found = mirrors_.find(active);
    if (found != mirrors_.end() && IsWindowVisible(window_)) {
        FocusControlWindow(*found->second.mirror, true);
    }
}

void Win32FormWindow::SyncControl(TControl& control) {
    auto found = mirrors_.find(&control);
    if (found == mirrors_.end()) {
        AddMissingMirrors();
        return;
    }
    Win32Mirror& mirror = *found->second.mirror;
    mirror.Update();
    tips_->Set(mirror.Handle(), control.Hint());
    if (found->second.tabOrder != control.TabOrder()) {
        found->second.tabOrder = control.TabOrder();
        SortByTabOrder();
    }
    UpdateTabStops();
}

bool Win32FormWindow::DropControl(const TControl* control) {
    auto found = mirrors_.find(const_cast<TControl*>(control));
    if (found == mirrors_.end()) return false;
    Win32Mirror* mirror = found->second.mirror;
    mirrors_.erase(found);
    if (activeApplied_ == control) activeApplied_ = nullptr;
    tips_->Remove(mirror->Handle());
    ShowWindow(mirror->Handle(), SW_HIDE);
    // Deleted once no window procedure runs: the control may be inside its own callback.
    WindowProcedureScope::DeleteLater([mirror] { delete mirror; });
    return true;
}

void Win32FormWindow::ChildFocused(HWND child) {
    if (form_ == nullptr) return;
    Win32Mirror* mirror = MirrorOf(child);
    if (mirror == nullptr || &mirror->Control() == activeApplied_) return;
    TControl* active = &mirror->Control();
    activeApplied_ = active;
    TForm* form = form_;
    DispatchToToolkit([form, active] { form->SetActiveControl(active); });
}

// As a dialog does: the focus leaves with the window and comes back with it.
void Win32FormWindow::Activated(WPARAM state) {
    if (LOWORD(state) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus)) focusOnDeactivation_ = focus;
        return;
    }
    if (HIWORD(state) != 0) return;  // minimised
    HWND focus = focusOnDeactivation_;
    if (focus == nullptr || !IsWindow(focus) || !IsChild(window_, focus)) {
        focus = GetNextDlgTabItem(window_, nullptr, FALSE);
    }
    SetFocus(focus != nullptr ? focus : window_);
}

void Win32FormWindow::MoveFocus(bool backwards) {
    HWND focus = GetFocus();
    HWND from = focus != nullptr && IsChild(window_, focus) ? focus : nullptr;
    HWND next = GetNextDlgTabItem(window_, from, backwards ? TRUE : FALSE);
    if (Win32Mirror* mirror = MirrorOf(next)) FocusControlWindow(*mirror, true);
}

void Win32FormWindow::FocusControlWindow(Win32Mirror& mirror, bool selectAll) {
    SetFocus(mirror.Handle());
    if (selectAll && mirror.IsTextField()) SendMessageW(mirror.Handle(), EM_SETSEL, 0, -1);
}

void Win32FormWindow::CentreOnScreen() {
    RECT outer{};
    GetWindowRect(window_, &outer);
    int width = outer.right - outer.left;
    int height = outer.bottom - outer.top;
    int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    applying_ = true;
    SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
    applying_ = false;
}

void Win32FormWindow::ShowForm() {
    if (form_ == nullptr) return;
    AddMissingMirrors();
    Sync();
    bool first = !everShown_;
    everShown_ = true;
    if (first && form_->Position() == poScreenCenter) CentreOnScreen();
    ShowWindow(window_, SW_SHOW);
    if (first) UpdateWindow(window_);
    FeedBackPosition();
}

void Win32FormWindow::HideForm() {
    ShowWindow(window_, SW_HIDE);
}

// The user (or the system) moved the window: Left and Top follow. A minimised window's
// place is not its position.
void Win32FormWindow::FeedBackPosition() {
    if (form_ == nullptr || applying_ || IsIconic(window_)) return;
    RECT outer{};
    GetWindowRect(window_, &outer);
    if (outer.left == applied_.left && outer.top == applied_.top) return;
    applied_.left = outer.left;
    applied_.top = outer.top;
    TForm* form = form_;
    int left = outer.left;
    int top = outer.top;
    feedingBack_ = true;
    DispatchToToolkit([form, left, top] {
        form->SetLeft(left);
        form->SetTop(top);
    });
    feedingBack_ = false;
}

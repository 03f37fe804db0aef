#include "platform/win32/Win32ControlMirror.h"

#include "platform/win32/TextConversion.h"
#include "platform/win32/Win32Fonts.h"
#include "platform/win32/Win32Inputs.h"
#include "platform/win32/Win32Labels.h"
#include "platform/win32/Win32Lists.h"
#include "platform/win32/Win32StatusBar.h"
#include "platform/win32/Win32ToolButton.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"

namespace {

template <class Control, class Mirror>
Win32Mirror* MakeIf(TControl& control, HWND parent) {
    auto* typed = dynamic_cast<Control*>(&control);
    return typed != nullptr ? new Mirror(*typed, parent) : nullptr;
}

}  // namespace

Win32Mirror* MakeMirror(TControl& control, HWND parent) {
    using Maker = Win32Mirror* (*)(TControl&, HWND);
    static const Maker makers[] = {
        MakeIf<TSpeedButton, ToolButtonMirror>,
        MakeIf<TButton, PushButtonMirror>,
        MakeIf<TCheckBox, CheckBoxMirror>,
        MakeIf<TEdit, EditMirror>,
        MakeIf<TLabel, LabelMirror>,
        MakeIf<TBevel, BevelMirror>,
        MakeIf<TStatusBar, StatusBarMirror>,
        MakeIf<TComboBox, ComboBoxMirror>,
        MakeIf<TListBox, ListBoxMirror>,
    };
    for (Maker make : makers) {
        if (Win32Mirror* mirror = make(control, parent)) return mirror;
    }
    return nullptr;
}

void DispatchToToolkit(const std::function<void()>& handler) {
    if (Application != nullptr) Application->Dispatch(handler);
}

void DispatchClick(TControl& control) {
    DispatchToToolkit([&control] { control.Click(); });
}

Win32Mirror::~Win32Mirror() {
    if (window_ != nullptr) DestroyWindow(window_);
}

void Win32Mirror::Create(HWND parent, const wchar_t* windowClass, DWORD style, DWORD exStyle,
                         void* creationData) {
    window_ = CreateWindowExW(exStyle, windowClass, L"", style | WS_CHILD | WS_CLIPSIBLINGS,
                              control_.Left(), control_.Top(), control_.Width(), control_.Height(),
                              parent, nullptr, GetModuleHandleW(nullptr), creationData);
    bounds_ = RECT{control_.Left(), control_.Top(), control_.Left() + control_.Width(),
                   control_.Top() + control_.Height()};
}

void Win32Mirror::SetTabStop(bool stop) {
    LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
    LONG_PTR wanted = stop ? (style | WS_TABSTOP) : (style & ~LONG_PTR{WS_TABSTOP});
    if (wanted != style) SetWindowLongPtrW(window_, GWL_STYLE, wanted);
}

void Win32Mirror::UpdateCommon() {
    UpdateBounds(control_.Left(), control_.Top(), control_.Width(), control_.Height());
    UpdateVisible();
    UpdateEnabled();
}

void Win32Mirror::UpdateBounds(int left, int top, int width, int height) {
    RECT wanted{left, top, left + width, top + height};
    if (EqualRect(&wanted, &bounds_)) return;
    bounds_ = wanted;
    SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Mirror::UpdateVisible() {
    bool visible = (GetWindowLongPtrW(window_, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible != control_.Visible())
        ShowWindow(window_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
}

void Win32Mirror::UpdateEnabled() {
    if ((IsWindowEnabled(window_) != FALSE) != control_.Enabled()) {
        EnableWindow(window_, control_.Enabled() ? TRUE : FALSE);
    }
}

void Win32Mirror::UpdateText(const std::string& text) {
    if (textSet_ && text == text_) return;
    text_ = text;
    textSet_ = true;
    SetWindowTextW(window_, WideFromProgramText(text).c_str());
}

void Win32Mirror::UpdateFont(const TFont& font) {
    UpdateFont(FontHandle(font));
}

void Win32Mirror::UpdateFont(HFONT handle) {
    if (handle == font_) return;
    font_ = handle;
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
}

HFONT Win32Mirror::FittingFont(const TFont& font, const std::string& caption, int width) const {
    if (width <= 0) return FontHandle(font);
    HDC dc = GetDC(window_);
    HGDIOBJ before = GetCurrentObject(dc, OBJ_FONT);
    HFONT fitting = SelectFittingFont(dc, font, WideFromProgramText(caption), width);
    SelectObject(dc, before);
    ReleaseDC(window_, dc);
    return fitting;
}

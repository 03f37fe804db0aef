#include "platform/win32/Win32Inputs.h"

#include "platform/win32/TextConversion.h"
#include "toolkit/Buttons.h"
#include "toolkit/Edit.h"

namespace {

// The width of a check box's box and the gap before its text.
constexpr int kCheckBoxMark = 18;

std::string WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return ProgramTextFromWide(text);
}

// The conversion mode for ImeMode, starting from the current one; false when the mode
// leaves the input method alone.
bool ConversionFor(TImeMode mode, DWORD& conversion) {
    constexpr DWORD kLanguage = IME_CMODE_NATIVE | IME_CMODE_KATAKANA;
    switch (mode) {
        case imSAlpha:
            conversion &= ~(kLanguage | IME_CMODE_FULLSHAPE);
            return true;
        case imAlpha:
            conversion = (conversion & ~kLanguage) | IME_CMODE_FULLSHAPE;
            return true;
        case imHira:
            conversion =
                (conversion & ~IME_CMODE_KATAKANA) | IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE;
            return true;
        case imSKata:
            conversion = (conversion & ~IME_CMODE_FULLSHAPE) | kLanguage;
            return true;
        case imKata:
            conversion |= kLanguage | IME_CMODE_FULLSHAPE;
            return true;
        default:
            return false;
    }
}

}  // namespace

PushButtonMirror::PushButtonMirror(TButton& button, HWND parent)
    : Win32Mirror(button), button_(button) {
    Create(parent, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP);
    Update();
}

void PushButtonMirror::Update() {
    UpdateCommon();
    UpdateText(button_.Caption());
    UpdateFont(button_.Font());
}

void PushButtonMirror::Command(WORD code) {
    if (code == BN_CLICKED) DispatchClick(button_);
}

// Enter presses the focused button, as the space bar does.
bool PushButtonMirror::EnterPressed() {
    DispatchClick(button_);
    return true;
}

CheckBoxMirror::CheckBoxMirror(TCheckBox& box, HWND parent) : Win32Mirror(box), box_(box) {
    Create(parent, L"BUTTON", BS_CHECKBOX | WS_TABSTOP);
    Update();
}

void CheckBoxMirror::Update() {
    UpdateCommon();
    UpdateText(box_.Caption());
    UpdateFont(FittingFont(box_.Font(), box_.Caption(), box_.Width() - kCheckBoxMark));
    SendMessageW(window_, BM_SETCHECK, box_.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CheckBoxMirror::Command(WORD code) {
    if (code == BN_CLICKED) DispatchClick(box_);
}

EditMirror::EditMirror(TEdit& edit, HWND parent) : Win32Mirror(edit), edit_(edit) {
    Create(parent, L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
    Update();
}

void EditMirror::Update() {
    UpdateCommon();
    UpdateFont(edit_.Font());
    if (edit_.Text() == shown_) return;
    shown_ = edit_.Text();
    settingText_ = true;
    SetWindowTextW(window_, WideFromProgramText(shown_).c_str());
    settingText_ = false;
}

void EditMirror::Command(WORD code) {
    switch (code) {
        case EN_CHANGE:
            TextChanged();
            break;
        case EN_SETFOCUS:
            ApplyImeMode();
            break;
        case EN_KILLFOCUS:
            RestoreImeMode();
            break;
        default:
            break;
    }
}

void EditMirror::TextChanged() {
    if (settingText_) return;
    shown_ = WindowText(window_);
    std::string text = shown_;
    TEdit& edit = edit_;
    DispatchToToolkit([&edit, text] { edit.SetText(text); });
}

void EditMirror::ApplyImeMode() {
    DWORD conversion = 0;
    HIMC context = ImmGetContext(window_);
    if (context == nullptr) return;
    ImmGetConversionStatus(context, &savedConversion_, &savedSentence_);
    savedOpen_ = ImmGetOpenStatus(context);
    conversion = savedConversion_;
    imeSaved_ = ConversionFor(edit_.ImeMode(), conversion);
    if (imeSaved_) {
        ImmSetOpenStatus(context, TRUE);
        ImmSetConversionStatus(context, conversion, savedSentence_);
    }
    ImmReleaseContext(window_, context);
}

void EditMirror::RestoreImeMode() {
    if (!imeSaved_) return;
    imeSaved_ = false;
    HIMC context = ImmGetContext(window_);
    if (context == nullptr) return;
    ImmSetConversionStatus(context, savedConversion_, savedSentence_);
    ImmSetOpenStatus(context, savedOpen_);
    ImmReleaseContext(window_, context);
}

#include "platform/win32/Win32ToolTips.h"

#include "platform/win32/TextConversion.h"

ToolTips::ToolTips(HWND owner) : owner_(owner) {
    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr),
                            nullptr);
}

void ToolTips::SetFont(HFONT font) {
    if (font == font_) return;
    font_ = font;
    SendMessageW(tips_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

ToolTips::~ToolTips() {
    if (tips_ != nullptr) DestroyWindow(tips_);
}

TTTOOLINFOW ToolTips::ToolFor(HWND control, std::wstring& text) const {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text.data();
    return tool;
}

void ToolTips::Set(HWND control, const std::string& hint) {
    if (hint.empty()) {
        Remove(control);
        return;
    }
    auto found = hints_.find(control);
    if (found != hints_.end() && found->second == hint) return;
    std::wstring text = WideFromProgramText(hint);
    TTTOOLINFOW tool = ToolFor(control, text);
    UINT message = found == hints_.end() ? TTM_ADDTOOLW : TTM_UPDATETIPTEXTW;
    SendMessageW(tips_, message, 0, reinterpret_cast<LPARAM>(&tool));
    hints_[control] = hint;
}

void ToolTips::Remove(HWND control) {
    if (hints_.erase(control) == 0) return;
    std::wstring text;
    TTTOOLINFOW tool = ToolFor(control, text);
    SendMessageW(tips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

#pragma once
// The tool tips of one form window: one tool per control window that has a hint.
#include <map>
#include <string>

#include "platform/win32/WindowsApi.h"

class ToolTips {
  public:
    explicit ToolTips(HWND owner);
    ~ToolTips();
    ToolTips(const ToolTips&) = delete;
    ToolTips& operator=(const ToolTips&) = delete;

    // The hints are Japanese: they take the form's font, which has the characters.
    void SetFont(HFONT font);
    // Shows hint (code page 932) over control; an empty hint removes its tip.
    void Set(HWND control, const std::string& hint);
    void Remove(HWND control);

  private:
    TTTOOLINFOW ToolFor(HWND control, std::wstring& text) const;

    HWND owner_;
    HWND tips_;
    HFONT font_ = nullptr;
    std::map<HWND, std::string> hints_;
};

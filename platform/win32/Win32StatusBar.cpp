#include "platform/win32/Win32StatusBar.h"

#include "platform/win32/TextConversion.h"

namespace {

WPARAM PanelStyle(TStatusPanelBevel bevel) {
    switch (bevel) {
        case pbRaised:
            return SBT_POPOUT;
        case pbNone:
            return SBT_NOBORDERS;
        case pbLowered:
            break;
    }
    return 0;
}

void SetPartText(HWND bar, WPARAM part, const std::string& text) {
    std::wstring wide = WideFromProgramText(text);
    SendMessageW(bar, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(wide.c_str()));
}

}  // namespace

StatusBarMirror::StatusBarMirror(TStatusBar& bar, HWND parent) : Win32Mirror(bar), bar_(bar) {
    // Not docked: it stays where the layout puts it, at the layout's height.
    Create(parent, STATUSCLASSNAMEW, CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER);
    Update();
}

void StatusBarMirror::Update() {
    UpdateCommon();
    UpdateFont(bar_.Font());
    bool changed = !applied_ || bar_.Panels() != panels_ || bar_.SimplePanel() != simple_;
    if (!changed) return;
    applied_ = true;
    panels_ = bar_.Panels();
    simple_ = bar_.SimplePanel();
    SendMessageW(window_, SB_SIMPLE, simple_ ? TRUE : FALSE, 0);
    if (simple_) {
        SetSimpleText();
    } else {
        SetPanels();
    }
}

void StatusBarMirror::SetPanels() {
    std::vector<int> edges;
    int right = 0;
    for (const TStatusPanel& panel : panels_) {
        right += panel.Width;
        edges.push_back(right);
    }
    if (edges.empty()) edges.push_back(0);
    SendMessageW(window_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        SetPartText(window_, i | PanelStyle(panels_[i].Bevel), panels_[i].Text);
    }
}

// One text over the whole bar: the first panel's.
void StatusBarMirror::SetSimpleText() {
    std::string text = panels_.empty() ? std::string() : panels_.front().Text;
    SetPartText(window_, SB_SIMPLEID | SBT_NOBORDERS, text);
}

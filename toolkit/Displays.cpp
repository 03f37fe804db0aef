#include "toolkit/Displays.h"

#include "toolkit/Form.h"

bool TLabel::Accelerate() {
    TControl* target = focusControl_;
    if (target == nullptr || Parent() == nullptr || !target->Enabled() || !target->Visible()) {
        return false;
    }
    Parent()->SetActiveControl(target);
    return true;
}

void TStatusBar::SetPanelText(std::size_t index, std::string text) {
    if (index >= panels_.size() || panels_[index].Text == text) return;
    panels_[index].Text = std::move(text);
    Changed();
}

#include "ui/LoadProgressDisplay.h"

#include "engine/MacroFile.h"
#include "ui/MainForm.h"

LoadProgressDisplay::LoadProgressDisplay(TForm1& form, std::chrono::milliseconds moment)
    : form_(form) {
    SetLoadProgress([this](uint64_t done, uint64_t total) { Show(done, total); }, moment);
}

LoadProgressDisplay::~LoadProgressDisplay() {
    SetLoadProgress(nullptr);
    if (statusBefore_) form_.SetStatusText(*statusBefore_);
}

void LoadProgressDisplay::Show(uint64_t done, uint64_t total) {
    if (!statusBefore_) statusBefore_ = form_.StatusText();
    const uint64_t percent = total == 0 ? 100 : done * 100 / total;
    form_.SetStatusText(std::to_string(percent) + " %");
    form_.Update();
}

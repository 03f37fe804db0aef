#include "toolkit/Form.h"

#include <algorithm>

#include "toolkit/Accelerator.h"
#include "toolkit/Application.h"
#include "toolkit/Backend.h"

TForm::TForm(std::string name) : TControl(nullptr, std::move(name)) {
    visible_ = false;
}

TForm::~TForm() {
    if (Application != nullptr) Application->FormDestroyed(this);
}

void TForm::RemoveControl(TControl* control) {
    std::erase(controls_, control);
    if (activeControl_ == control) activeControl_ = nullptr;
}

void TForm::SetVisible(bool value) {
    if (visible_ == value) return;
    visible_ = value;
    if (value) {
        CurrentBackend().FormShown(*this);
    } else {
        CurrentBackend().FormHidden(*this);
    }
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::Close() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    if (OnClose) OnClose(this, action);
    if (action == caNone) return;
    if (Application != nullptr && Application->MainForm() == this) {
        Hide();
        Application->Terminate();
    } else if (action == caFree) {
        Release();
    } else {
        Hide();
    }
}

int TForm::ShowModal() {
    modalResult_ = mrNone;
    modal_ = true;
    Show();
    for (;;) {
        CurrentBackend().RunModal(*this);
        if (Application != nullptr && Application->Terminated()) {
            modalResult_ = mrCancel;
            break;
        }
        // A loop that ended without a result (nothing more can happen) counts as cancelled.
        if (modalResult_ == mrNone) modalResult_ = mrCancel;
        CloseModal();
        if (modalResult_ != mrNone) break;
    }
    modal_ = false;
    Hide();
    return modalResult_;
}

void TForm::CloseModal() {
    TCloseAction action = caNone;
    bool ran = Application->Dispatch([&] {
        if (!CloseQuery()) return;
        action = caHide;
        if (OnClose) OnClose(this, action);
    });
    if (!ran || action == caNone) {
        modalResult_ = mrNone;
    } else if (action == caFree) {
        Release();
    }
}

void TForm::Release() {
    if (Application != nullptr)
        Application->Post(TMsg{.hwnd = Handle(), .message = msg::kReleaseForm});
}

bool TForm::PressAccelerator(char letter) {
    char key = AcceleratorOf(std::string{'&', letter});  // lower-cased as a caption's mark
    if (key == 0) return false;
    for (TControl* control : controls_) {
        if (!control->Enabled() || !control->Visible()) continue;
        if (AcceleratorOf(control->Caption()) == key && control->Accelerate()) return true;
    }
    return false;
}

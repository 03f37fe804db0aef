#include "toolkit/Buttons.h"

#include "toolkit/Form.h"

bool TSpeedButton::Accelerate() {
    Click();
    return true;
}

bool TButton::Accelerate() {
    if (Parent() != nullptr) Parent()->SetActiveControl(this);
    Click();
    return true;
}

void TButton::Clicked() {
    if (modalResult_ != 0 && Parent() != nullptr) Parent()->SetModalResult(modalResult_);
}

bool TCheckBox::Accelerate() {
    if (Parent() != nullptr) Parent()->SetActiveControl(this);
    Click();
    return true;
}

#include "platform/wayland/InputWays.h"

std::unique_ptr<InputWay> OpenUinputWay(std::string& refusal) {
    refusal = "Uinput: not built yet";
    return nullptr;
}

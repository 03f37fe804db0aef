#include "platform/wayland/InputWays.h"

std::unique_ptr<InputWay> OpenMutterWay(std::string& refusal) {
    refusal = "Mutter: not built yet";
    return nullptr;
}

#include "platform/wayland/InputWays.h"

std::unique_ptr<InputWay> OpenWlrootsWay(std::string& refusal) {
    refusal = "Wlroots: not built yet";
    return nullptr;
}

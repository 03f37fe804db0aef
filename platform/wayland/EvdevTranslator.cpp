#include "platform/wayland/EvdevTranslator.h"

void EvdevTranslator::Reset(const KeyboardState&) {}
std::vector<EVENTMSG> EvdevTranslator::Translate(const DeviceEvent&, const PositionQuery&) {
    return {};
}
bool CancelKeyWatch::Watch(const DeviceEvent&) {
    return false;
}
void CancelKeyWatch::Reset() {}

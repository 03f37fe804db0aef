#include "platform/wayland/EvdevSource.h"

struct EvdevSource::State {};

EvdevSource::EvdevSource(DescriptorWatch&) {}
EvdevSource::~EvdevSource() = default;
bool EvdevSource::Start(Sink, std::string& error) {
    error = "evdev: not built yet";
    return false;
}
void EvdevSource::ReadPending() {}
void EvdevSource::Stop() {}
bool EvdevSource::Running() const {
    return false;
}

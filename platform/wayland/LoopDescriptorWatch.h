#pragma once
// Descriptors watched by the FLTK loop that the window runs on.
#include <map>

#include "platform/wayland/DeviceEvents.h"

class LoopDescriptorWatch final : public DescriptorWatch {
  public:
    ~LoopDescriptorWatch() override;
    void Watch(int fd, Ready ready) override;
    void Unwatch(int fd) override;

  private:
    static void OnReadable(int fd, void* self);
    std::map<int, Ready> watched_;
};

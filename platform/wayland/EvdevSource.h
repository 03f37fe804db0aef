#pragma once
// Reads every keyboard and mouse under /dev/input through libevdev, found and followed
// (hot-plug) through libudev; the program's own virtual devices are skipped. Events carry
// monotonic time stamps in milliseconds.
#include <functional>
#include <memory>
#include <string>

#include "platform/wayland/DeviceEvents.h"

class EvdevSource {
  public:
    using Sink = std::function<void(const DeviceEvent&)>;

    explicit EvdevSource(DescriptorWatch& watch);
    ~EvdevSource();
    EvdevSource(const EvdevSource&) = delete;
    EvdevSource& operator=(const EvdevSource&) = delete;

    // Opens the devices and watches for new ones. False when no keyboard or mouse can be
    // opened; error then tells the user, in one Japanese message, what to do.
    bool Start(Sink sink, std::string& error);
    // Hands the sink every event the devices hold now, without waiting: the click that ends
    // a recording may reach the window before this source has read it.
    void ReadPending();
    // Safe to call from inside the sink: no more events reach it.
    void Stop();
    bool Running() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

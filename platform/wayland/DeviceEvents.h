#pragma once
// The kernel's input events as the Wayland journal records them: every keyboard and mouse,
// read through libevdev, hot-plugged ones too.
#include <cstdint>
#include <functional>
#include <string>

struct DeviceEvent {
    uint16_t type;  // EV_KEY, EV_REL
    uint16_t code;  // KEY_*, BTN_*, REL_*
    int32_t value;  // 1 press, 0 release, 2 repeat; the relative amount
    uint32_t time;  // milliseconds on the monotonic clock (the journal's tick)
};

// A place in the layout's logical pixels, the space XWayland's root window also uses.
struct PointerPosition {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const PointerPosition&) const = default;
};

// Where the source's descriptors are watched: the UI loop in the program, a poll loop in
// the tests.
class DescriptorWatch {
  public:
    using Ready = std::function<void()>;
    virtual ~DescriptorWatch() = default;
    virtual void Watch(int fd, Ready ready) = 0;
    virtual void Unwatch(int fd) = 0;
};

// Devices whose name starts so are the program's own (its uinput devices): never recorded.
inline constexpr const char* kOwnDeviceNamePrefix = "Tapewright ";
// Their ids on the virtual bus; no registered vendor, they only tell the devices apart.
inline constexpr uint16_t kOwnDeviceVendor = 0x0000;
inline constexpr uint16_t kOwnDeviceProduct = 0x7477;

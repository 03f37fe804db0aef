#pragma once
// Keyboards and mice that the program under test takes for the kernel's: umockdev emulates
// them in the test's own process (the descriptions in devices/), and a program started with
// Environment() finds them under /dev/input and /sys. Send hands the program a frame of
// events at the moment the test chooses, so a test waits for a condition and then types.
// Events sent before the program opens a device wait for it.
#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct InputEvent {
    uint16_t type;  // EV_KEY, EV_REL (linux/input-event-codes.h)
    uint16_t code;
    int32_t value;
};

class MockDevices {
  public:
    // /dev/input/event20, event21 and event23: the last, like a wireless receiver, is one
    // device for both, whose events the program reads in the order they were sent.
    enum class Device { Keyboard, Mouse, KeyboardAndMouse };

    MockDevices();
    ~MockDevices();
    MockDevices(const MockDevices&) = delete;
    MockDevices& operator=(const MockDevices&) = delete;

    // False on failure; Error() then says why.
    bool Add(Device device);
    const std::string& Error() const { return error_; }

    // LD_PRELOAD and UMOCKDEV_DIR: the program's environment puts it on the test bed.
    std::vector<std::pair<std::string, std::string>> Environment() const;
    // Gives the test bed to a user, for a program that runs as that user (a compositor's).
    // Call after the last Add.
    bool GiveTo(uid_t user, gid_t group);

    // One frame: the events, then SYN_REPORT, stamped now.
    bool Send(Device device, const std::vector<InputEvent>& events);
    // Presses the keys in order, then releases them in reverse, a frame each:
    // Chord(device, {KEY_LEFTCTRL, KEY_ESC}) is Ctrl+Esc.
    bool Chord(Device device, const std::vector<uint16_t>& keys);

  private:
    void* bed_;  // the UMockdevTestbed (GLib stays out of this header)
    std::map<Device, int> fds_;
    std::string error_;
};

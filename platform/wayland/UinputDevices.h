#pragma once
// What the program's two uinput devices are and what they send, kept free of /dev/uinput so
// that it is tested on its own. The pointer is absolute (ABS_X/ABS_Y over 0..65535) with mouse
// buttons and no touch or tool bits, so that udev and libinput take it for a pointer over the
// whole layout rather than a tablet or a touchscreen bound to one output; the keyboard has
// every key.
#include <cstdint>
#include <string>
#include <vector>

struct UinputEvent {
    uint16_t type;
    uint16_t code;
    int32_t value;
};

struct UinputDescription {
    std::string name;
    std::vector<uint16_t> eventTypes;  // EV_*
    std::vector<uint16_t> keys;        // KEY_* and BTN_*
    std::vector<uint16_t> relatives;   // REL_*
    std::vector<uint16_t> absolutes;   // ABS_*, each over 0..kUinputAbsoluteMax
};

inline constexpr int32_t kUinputAbsoluteMax = 65535;

UinputDescription UinputKeyboard();
UinputDescription UinputPointer();

// The absolute value that libinput turns back into pixel (its transformed coordinate,
// value * size / (max + 1), rounded down) over a layout of size pixels from 0; pixel is
// clamped to the layout.
int32_t UinputAbsolute(int32_t pixel, int32_t size);

// The pointer's events for a move to x, y over a layout of width x height from (0, 0).
std::vector<UinputEvent> UinputMotion(int32_t x, int32_t y, int32_t width, int32_t height);

// The wheel's events: the high-resolution delta as it is, and the classic notch event each
// time the parts add up to a whole notch, as a high-resolution wheel reports them.
class UinputWheel {
  public:
    std::vector<UinputEvent> Turn(bool horizontal, int32_t delta);
    void Reset() { carried_[0] = carried_[1] = 0; }

  private:
    int32_t carried_[2] = {0, 0};
};

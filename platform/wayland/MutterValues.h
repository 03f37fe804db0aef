#pragma once
// The numbers Mutter's remote desktop takes, kept free of D-Bus so that they are tested on
// their own: where a point of the layout lies on a monitor's screen-cast stream, and the
// wheel's steps.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A logical monitor of Mutter's layout, as org.gnome.Mutter.DisplayConfig describes it.
struct MutterMonitor {
    std::string connector;  // the first monitor of the logical monitor, as RecordMonitor takes it
    int32_t x = 0;          // the logical monitor's place and size in the layout
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    double scale = 1;  // the stream's pixels per layout pixel
};

struct StreamPoint {
    std::size_t monitor = 0;  // index of the monitor whose stream takes the point
    double x = 0;             // the point in that stream's pixels
    double y = 0;
};

// The monitor holding the layout point x, y, or else the nearest one, with the point in its
// stream's pixels (Mutter turns them back: monitor's place + stream pixel / scale). monitors
// is not empty.
StreamPoint PlaceOnStream(const std::vector<MutterMonitor>& monitors, int32_t x, int32_t y);

// Mutter counts 10 to a notch of a wheel (NotifyPointerAxis, source_wheel) and turns the value
// into the kernel's 120 a notch by multiplying with 12, keeping only whole units. So a Windows
// delta (120 a notch) goes as whole twelfths; what is left over waits for the next turn in the
// same direction.
class MutterWheel {
  public:
    // The value to send: positive down or right, 0 when nothing is to be sent yet.
    double Turn(bool horizontal, int32_t delta);
    void Reset() { carried_[0] = carried_[1] = 0; }

  private:
    int32_t carried_[2] = {0, 0};  // vertical, horizontal: Windows delta not yet sent
};

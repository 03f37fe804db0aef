#pragma once
// Headless sway (wlroots) with two outputs: HEADLESS-1, 1280x720 at (0, 0), and HEADLESS-2,
// 1024x768 at (1280, 200), so that the layout's box is larger than either and the second
// output lies at an origin other than (0, 0). The probe window takes the keyboard focus
// when it appears: sway would leave it on the first output's workspace otherwise.
#include <memory>

#include "WaylandCompositor.h"
#include "platform/wayland/InputWay.h"

class SwayCompositor final : public WaylandCompositor {
  public:
    SwayCompositor() : WaylandCompositor("wlr-sway-") {}
    ~SwayCompositor() override;

    // Gives the seat a keyboard and a pointer, as a desktop's seat has, through a virtual
    // keyboard and pointer of the test's own: headless sway has no input devices, so a
    // client would otherwise get its wl_pointer and wl_keyboard only when the program's
    // devices appear, and miss the first events. False on failure.
    bool AddSeatDevices();
    // Those devices: a key they send reaches a client after all that others sent before.
    InputWay* SeatDevices() { return seatDevices_.get(); }

    static constexpr int kSecondX = 1280;
    static constexpr int kSecondY = 200;
    static constexpr int kSecondWidth = 1024;
    static constexpr int kSecondHeight = 768;

  protected:
    std::vector<std::string> Command() override;
    Environment CommandEnvironment() override;

  private:
    std::unique_ptr<InputWay> seatDevices_;
};

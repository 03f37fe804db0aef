#pragma once
// Headless sway (wlroots) with two outputs: HEADLESS-1, 1280x720 at (0, 0), and HEADLESS-2,
// 1024x768 at (1280, 200), so that the layout's box is larger than either and the second
// output lies at an origin other than (0, 0). The probe window takes the keyboard focus
// when it appears: sway would leave it on the first output's workspace otherwise.
#include "WaylandCompositor.h"

class SwayCompositor final : public WaylandCompositor {
  public:
    SwayCompositor() : WaylandCompositor("wlr-sway-") {}

    static constexpr int kSecondX = 1280;
    static constexpr int kSecondY = 200;
    static constexpr int kSecondWidth = 1024;
    static constexpr int kSecondHeight = 768;

  protected:
    std::vector<std::string> Command() override;
    Environment CommandEnvironment() override;
};

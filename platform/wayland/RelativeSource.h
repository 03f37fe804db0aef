#pragma once
// The pointer's position where the desktop does not tell it: estimated from the devices'
// relative motion, from a position known at the start (the Record click on the program's own
// XWayland window), clamped to the layout, and corrected whenever the position is known
// again (XWayland sees the pointer move over an X window). Pointer acceleration makes the
// estimate drift over native Wayland windows.
#include <functional>
#include <optional>

#include "platform/wayland/PointerSource.h"

// The layout's bounding box in logical pixels, as XWayland's root window spans it.
struct LayoutBounds {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

class RelativeSource final : public PointerSource {
  public:
    // Where XWayland last saw the pointer; nullopt when it cannot say.
    using Known = std::function<std::optional<PointerPosition>()>;
    using Layout = std::function<LayoutBounds()>;

    RelativeSource(Known known, Layout layout);
    std::string Name() const override { return "入力デバイスの相対移動"; }
    bool Exact() const override { return false; }
    // Reports nothing yet: the journal starts the history from the same known position.
    bool Start(Report report, std::string& refusal) override;
    void Before(const DeviceEvent& event) override;
    void Stop() override { report_ = nullptr; }

  private:
    void Move(int32_t& coordinate, int32_t by, int32_t low, int32_t extent);
    void Locate(uint32_t time);

    Known known_;
    Layout layout_;
    Report report_;
    LayoutBounds box_;
    PointerPosition at_;
    std::optional<PointerPosition> lastKnown_;
    bool moved_ = false;  // the frame so far moves the pointer or turns a wheel
};

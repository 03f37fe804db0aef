#pragma once
// The pointer's position from Hyprland's IPC: a request "cursorpos" on the instance's
// socket, one connection each (Hyprland answers and closes), answered as "123, 456" in the
// layout's logical pixels.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/wayland/PolledSource.h"

class HyprlandSource final : public PolledSource {
  public:
    explicit HyprlandSource(std::string socketPath) : path_(std::move(socketPath)) {}
    std::string Name() const override { return "Hyprland の IPC"; }
    bool Exact() const override { return true; }

  protected:
    std::optional<PointerPosition> Poll(std::string& error) override;

  private:
    std::string path_;
};

// "x, y" as Hyprland writes it; nullopt for anything else.
std::optional<PointerPosition> ParseHyprlandCursor(std::string_view answer);

// The instance HYPRLAND_INSTANCE_SIGNATURE names, under $XDG_RUNTIME_DIR/hypr (or /tmp/hypr,
// where Hyprland before 0.40 kept it); nullptr when the variable is not set.
std::unique_ptr<PointerSource> OpenHyprlandSource();

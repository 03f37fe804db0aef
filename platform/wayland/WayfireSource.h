#pragma once
// The pointer's position from Wayfire's IPC ($WAYFIRE_SOCKET; plugins ipc and ipc-rules):
// method window-rules/get_cursor_position, over one connection kept for the recording.
// Each message is its length (4 bytes, the machine's order) and that much JSON; the answer
// holds "pos": {"x": ..., "y": ...} in the layout's logical pixels.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/wayland/LocalSocket.h"
#include "platform/wayland/PolledSource.h"

class WayfireSource final : public PolledSource {
  public:
    explicit WayfireSource(std::string socketPath);
    std::string Name() const override { return "Wayfire の IPC"; }
    bool Exact() const override { return true; }

  protected:
    std::optional<PointerPosition> Poll(std::string& error) override;
    void Close() override { socket_.Close(); }

  private:
    bool Ask(std::string& answer, std::string& error);

    std::string path_;
    LocalSocket socket_;
};

// The position in Wayfire's answer, rounded to whole pixels; nullopt, with why in error,
// when it holds none (an "error" member: the plugin is off).
std::optional<PointerPosition> ParseWayfireCursor(std::string_view answer, std::string& error);

// nullptr when WAYFIRE_SOCKET is not set.
std::unique_ptr<PointerSource> OpenWayfireSource();

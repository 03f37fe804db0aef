#pragma once
// The pointer's position from a compositor that offers cursor capture sessions
// (ext_image_copy_capture_cursor_session_v1; wlroots 0.19 and later): one session for each
// output reports where the cursor's hotspot is while it is on that output, in the output's
// buffer pixels, mapped to the layout with what xdg-output and wl_output tell of the output
// (CursorPlacement). A connection of the source's own is read on a thread of its own, each
// position stamped on receipt; the positions reach the journal at its next device event.
//
// wlroots tells the position only of a cursor the output draws in its cursor plane: with a
// cursor drawn in software (a nested compositor, WLR_NO_HARDWARE_CURSORS) the sessions stay
// silent, and the source refuses at the start, leaving the estimate to record.
#include <memory>
#include <string>

#include "platform/wayland/PointerSource.h"

class WlrCursorSource final : public PointerSource {
  public:
    WlrCursorSource();
    ~WlrCursorSource() override;
    WlrCursorSource(const WlrCursorSource&) = delete;
    WlrCursorSource& operator=(const WlrCursorSource&) = delete;

    // True when the compositor at WAYLAND_DISPLAY offers the sessions; the connection that
    // asked is kept for Start.
    bool Offered();

    std::string Name() const override { return "コンポジターのカーソルキャプチャ"; }
    bool Exact() const override { return true; }
    // Opens a session for each output and waits for the first position: refused when the
    // compositor does not tell it.
    bool Start(Report report, std::string& refusal) override;
    void Before(const DeviceEvent& event) override;
    // Ends the sessions and the connection.
    void Stop() override;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// The source where the compositor WAYLAND_DISPLAY names offers cursor capture sessions,
// else nullptr.
std::unique_ptr<PointerSource> OpenWlrCursorSource();

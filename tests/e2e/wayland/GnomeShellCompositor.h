#pragma once
// Headless GNOME Shell with one virtual monitor (1280x720), its own session and system buses
// and PipeWire, and the program's extension for GNOME 43 and 44 installed for its user and
// enabled before the shell starts (a running shell loads no newly installed extension). A
// client must use that session bus (DBUS_SESSION_BUS_ADDRESS) and run as the compositor's
// user: the bus admits no other.
#include "WaylandCompositor.h"

class GnomeShellCompositor final : public WaylandCompositor {
  public:
    GnomeShellCompositor() : WaylandCompositor("wlr-gnome-") {}

    // ClientEnvironment and the session bus.
    Environment BusEnvironment() const;

  protected:
    std::vector<std::string> Command() override;
    Environment CommandEnvironment() override { return {}; }
    std::string SocketName() const override { return "wlr-gnome"; }
};

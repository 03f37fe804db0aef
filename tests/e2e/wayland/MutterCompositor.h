#pragma once
// Headless Mutter with two virtual monitors, 1280x720 and 1024x768 right of it at (1280, 0),
// its own session bus and PipeWire (its remote desktop streams the monitors). The program
// must use that bus (DBUS_SESSION_BUS_ADDRESS) and run as the compositor's user: the bus
// admits no other.
#include "WaylandCompositor.h"

class MutterCompositor final : public WaylandCompositor {
  public:
    MutterCompositor() : WaylandCompositor("mut-mutter-") {}

    // ClientEnvironment and the session bus, for the program.
    Environment ProgramEnvironment() const;

    static constexpr int kSecondX = 1280;
    static constexpr int kSecondWidth = 1024;
    static constexpr int kSecondHeight = 768;

  protected:
    std::vector<std::string> Command() override;
    Environment CommandEnvironment() override { return {}; }
    std::string SocketName() const override { return "mut-e2e"; }
};

#pragma once
// The pointer's position from the program's GNOME Shell extension (resources/linux/gnome-shell):
// it owns kGnomePointerBusName on the session bus, answers GetPosition() with where the
// pointer is and, once asked by Subscribe() and while the asking connection lasts, signals
// PositionChanged(x, y) after each move, in the layout's logical pixels. A thread of the source's
// own reads the bus and stamps each position on receipt; the positions reach the journal at its
// next device event.
//
// The extension's name vanishes when it is disabled, as a locked screen does: positions then
// stay where they last were, and when the name returns the source subscribes again and reads
// the position.
#include <memory>
#include <string>
#include <string_view>

#include "platform/wayland/PointerSource.h"

inline constexpr const char* kGnomePointerBusName = "org.tapewright.Pointer";
inline constexpr const char* kGnomePointerPath = "/org/tapewright/Pointer";
inline constexpr const char* kGnomePointerInterface = "org.tapewright.Pointer";
// The extension for GNOME 45 and later (an ES module), and the one for 43 and 44.
inline constexpr const char* kGnomeExtension = "tapewright-pointer@tapewright";
inline constexpr const char* kGnomeLegacyExtension = "tapewright-pointer-43@tapewright";

class GnomeShellSource final : public PointerSource {
  public:
    GnomeShellSource();
    ~GnomeShellSource() override;
    GnomeShellSource(const GnomeShellSource&) = delete;
    GnomeShellSource& operator=(const GnomeShellSource&) = delete;

    std::string Name() const override { return "GNOME Shell の拡張機能"; }
    bool Exact() const override { return true; }
    // Reads the position once; refused, with how to enable the extension, when its name is
    // not on the session bus.
    bool Start(Report report, std::string& refusal) override;
    void Before(const DeviceEvent& event) override;
    void Stop() override;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// What the user is told when the extension does not answer, for the shell's version
// ("43.9"; empty when unknown: both extensions are named).
std::string GnomeExtensionAdvice(std::string_view shellVersion);

// The source where XDG_CURRENT_DESKTOP names GNOME, else nullptr.
std::unique_ptr<PointerSource> OpenGnomeShellSource();

#pragma once
// Headless KWin (kwin_wayland --virtual) with two outputs of 1280x720 logical pixels side by
// side (at a scale of 1 unless a test sets one), its own session bus, and the program's
// desktop entry installed for it: KWin offers its fake input only to a program that an
// installed entry names by its path, read when KWin starts.
#include "WaylandCompositor.h"

class KwinCompositor final : public WaylandCompositor {
  public:
    KwinCompositor() : WaylandCompositor("kde-kwin-") {}

    // The program to admit, by the path it runs from; before Start.
    void Admit(const std::string& program) { program_ = program; }
    // A test's own client to admit to the fake input as well, by its path; before Start.
    void AdmitTool(const std::string& tool) { tool_ = tool; }
    // Both outputs' scale (KWin sets one for all of its virtual outputs); before Start.
    void SetScale(int scale) { scale_ = scale; }

    // The session bus KWin runs on, for DBUS_SESSION_BUS_ADDRESS.
    std::string BusAddress() const { return "unix:path=" + RuntimeDirectory() + "/bus"; }

    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 720;

  protected:
    std::vector<std::string> Command() override;
    Environment CommandEnvironment() override { return {}; }
    std::string SocketName() const override { return "kde-e2e"; }

  private:
    std::string program_;
    std::string tool_;
    int scale_ = 1;
};

// Where the pointer is while recording on KDE Plasma: the source against a private session
// bus with a fake KWin that loads, runs and unloads scripts as Plasma 6 names them, and
// "runs" the program's script by calling the object the script names. KWin 5.27 itself is
// the end-to-end test's.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "ScratchBus.h"
#include "platform/posix/MonotonicClock.h"
#include "platform/wayland/KwinScriptSource.h"

namespace {

using Reports = std::vector<std::pair<PointerPosition, uint32_t>>;

// KWin's scripting as Plasma 6 offers it: the script loaded as id 0 is /Scripting/Script0.
class FakeKwin {
  public:
    explicit FakeKwin(const std::string& address) : service_(address) {
        service_.Use([this](sd_bus* bus) {
            ASSERT_GE(sd_bus_add_object_vtable(bus, nullptr, "/Scripting", "org.kde.kwin.Scripting",
                                               kScripting, this),
                      0);
            ASSERT_GE(sd_bus_add_object_vtable(bus, nullptr, "/Scripting/Script0",
                                               "org.kde.kwin.Script", kScript, this),
                      0);
            ASSERT_GE(sd_bus_request_name(bus, "org.kde.KWin", 0), 0);
        });
    }
    bool Connected() const { return service_.Connected(); }

    // What was loaded, unloaded, and whom the script reports to.
    std::string Read(const std::string FakeKwin::*field) {
        std::string value;
        service_.Use([&](sd_bus*) { value = this->*field; });
        return value;
    }
    // The script's report of a move, as KWin 5 makes it; returns once answered.
    void Report(int32_t x, int32_t y) {
        const std::string target = Read(&FakeKwin::target_);
        service_.Use([&](sd_bus* bus) {
            EXPECT_GE(
                sd_bus_call_method(bus, target.c_str(), kKwinPointerPath, kKwinPointerInterface,
                                   kKwinPointerMethod, nullptr, nullptr, "ii", x, y),
                0);
        });
    }

    std::string file_;
    std::string loaded_;
    std::string unloaded_;
    std::string target_;

  private:
    static int Load(sd_bus_message* call, void* self, sd_bus_error*) {
        auto* kwin = static_cast<FakeKwin*>(self);
        const char* file = nullptr;
        const char* name = nullptr;
        sd_bus_message_read(call, "ss", &file, &name);
        kwin->file_ = file;
        kwin->loaded_ = name;
        std::ifstream in(file);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        const std::string tag = "const target = \"";
        const std::size_t at = text.find(tag);
        if (at != std::string::npos) {
            kwin->target_ =
                text.substr(at + tag.size(), text.find('"', at + tag.size()) - at - tag.size());
        }
        return sd_bus_reply_method_return(call, "i", 0);
    }
    static int Unload(sd_bus_message* call, void* self, sd_bus_error*) {
        const char* name = nullptr;
        sd_bus_message_read(call, "s", &name);
        static_cast<FakeKwin*>(self)->unloaded_ = name;
        return sd_bus_reply_method_return(call, "b", 1);
    }
    // The script reports where the pointer is as it starts: KWin 6 sends a QPointF.
    static int Run(sd_bus_message* call, void* self, sd_bus_error*) {
        auto* kwin = static_cast<FakeKwin*>(self);
        sd_bus* bus = sd_bus_message_get_bus(call);
        const int r = sd_bus_reply_method_return(call, "");
        sd_bus_call_method_async(bus, nullptr, kwin->target_.c_str(), kKwinPointerPath,
                                 kKwinPointerInterface, kKwinPointerMethod, nullptr, nullptr, "dd",
                                 100.4, -20.6);
        return r;
    }
    static constexpr sd_bus_vtable kScripting[] = {
        SD_BUS_VTABLE_START(0), SD_BUS_METHOD("loadScript", "ss", "i", &FakeKwin::Load, 0),
        SD_BUS_METHOD("unloadScript", "s", "b", &FakeKwin::Unload, 0), SD_BUS_VTABLE_END};
    static constexpr sd_bus_vtable kScript[] = {
        SD_BUS_VTABLE_START(0), SD_BUS_METHOD("run", "", "", &FakeKwin::Run, 0), SD_BUS_VTABLE_END};

    BusPeer service_;
};

TEST(KwinScriptSourceTest, RunsItsScriptAsPlasma6NamesItAndTakesOnlyKwinsPositions) {
    setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
    EXPECT_EQ(OpenKwinScriptSource(), nullptr);
    setenv("XDG_CURRENT_DESKTOP", "KDE", 1);
    ScratchBus bus;
    BusPeer stranger(bus.Address());  // connected once the daemon listens
    ASSERT_TRUE(stranger.Connected());
    ScratchDirectory runtime;
    setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    Reports reports;
    auto report = [&reports](PointerPosition at, uint32_t time) { reports.emplace_back(at, time); };
    std::string refusal;
    EXPECT_FALSE(OpenKwinScriptSource()->Start(report, refusal));
    EXPECT_NE(refusal.find("org.kde.KWin /Scripting"), std::string::npos) << refusal;

    FakeKwin kwin(bus.Address());
    ASSERT_TRUE(kwin.Connected());
    std::unique_ptr<PointerSource> source = OpenKwinScriptSource();
    ASSERT_TRUE(source->Start(report, refusal)) << refusal;
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].first, (PointerPosition{100, -21}));
    const std::string file = kwin.Read(&FakeKwin::file_);
    EXPECT_EQ(file.rfind(runtime.Path() + "/", 0), 0u) << file;
    // Only KWin's calls count: any program of the session could call.
    stranger.Use([&](sd_bus* peer) {
        sd_bus_call_method(peer, kwin.Read(&FakeKwin::target_).c_str(), kKwinPointerPath,
                           kKwinPointerInterface, kKwinPointerMethod, nullptr, nullptr, "ii", 5, 5);
    });
    kwin.Report(7, 8);
    source->Before(DeviceEvent{EV_REL, REL_X, 1, MonotonicTick()});
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].first, (PointerPosition{7, 8}));
    EXPECT_GE(reports[1].second, reports[0].second);
    EXPECT_EQ(kwin.Read(&FakeKwin::unloaded_), "");
    // Gone while recording: the script goes with it.
    source.reset();
    EXPECT_EQ(kwin.Read(&FakeKwin::unloaded_), kwin.Read(&FakeKwin::loaded_));
    EXPECT_FALSE(std::filesystem::exists(file));
    unsetenv("XDG_CURRENT_DESKTOP");
    unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace

// Where the pointer is while recording on GNOME: the source against a session bus of the
// test's own (ScratchBus.h) and fake services that answer as the program's Shell
// extension and the Shell do.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <systemd/sd-bus.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ScratchBus.h"
#include "platform/posix/MonotonicClock.h"
#include "platform/wayland/GnomeShellSource.h"
#include "platform/wayland/PointerSources.h"
#include "platform/wayland/RelativeSource.h"

namespace {

using Reports = std::vector<std::pair<PointerPosition, uint32_t>>;

// Answers as the program's extension does.
class FakeExtension {
  public:
    explicit FakeExtension(const std::string& address) : service_(address) {
        service_.Use([this](sd_bus* bus) {
            ASSERT_GE(sd_bus_add_object_vtable(bus, nullptr, kGnomePointerPath,
                                               kGnomePointerInterface, kVtable, this),
                      0);
        });
        Own();
    }
    bool Connected() const { return service_.Connected(); }
    void Own() {
        service_.Use(
            [](sd_bus* bus) { ASSERT_GE(sd_bus_request_name(bus, kGnomePointerBusName, 0), 0); });
    }
    // As the extension is disabled: it forgets who subscribed.
    void Release() {
        service_.Use(
            [](sd_bus* bus) { ASSERT_GE(sd_bus_release_name(bus, kGnomePointerBusName), 0); });
        subscribed_ = false;
    }
    void Place(int32_t x, int32_t y) {
        x_ = x;
        y_ = y;
    }
    // A signal only where one subscribed, as the extension sends them.
    void Move(int32_t x, int32_t y) {
        Place(x, y);
        if (!subscribed_) return;
        service_.Use([x, y](sd_bus* bus) {
            sd_bus_emit_signal(bus, kGnomePointerPath, kGnomePointerInterface, "PositionChanged",
                               "ii", x, y);
        });
    }

    // A move signalled while the answer is on its way, as the shell may send one.
    void SignalBeforeAnswer(int32_t x, int32_t y) {
        std::lock_guard lock(beforeMutex_);
        before_ = PointerPosition{x, y};
    }

  private:
    static int GetPosition(sd_bus_message* call, void* self, sd_bus_error*) {
        auto* fake = static_cast<FakeExtension*>(self);
        std::optional<PointerPosition> before;
        {
            std::lock_guard lock(fake->beforeMutex_);
            before.swap(fake->before_);
        }
        if (before) {
            sd_bus_emit_signal(sd_bus_message_get_bus(call), kGnomePointerPath,
                               kGnomePointerInterface, "PositionChanged", "ii", before->x,
                               before->y);
        }
        return sd_bus_reply_method_return(call, "ii", fake->x_.load(), fake->y_.load());
    }
    static int Subscribe(sd_bus_message* call, void* self, sd_bus_error*) {
        static_cast<FakeExtension*>(self)->subscribed_ = true;
        return sd_bus_reply_method_return(call, "");
    }
    static constexpr sd_bus_vtable kVtable[] = {
        SD_BUS_VTABLE_START(0), SD_BUS_METHOD("Subscribe", "", "", &FakeExtension::Subscribe, 0),
        SD_BUS_METHOD("GetPosition", "", "ii", &FakeExtension::GetPosition, 0),
        SD_BUS_SIGNAL("PositionChanged", "ii", 0), SD_BUS_VTABLE_END};

    BusPeer service_;
    std::atomic<int32_t> x_ = 0;
    std::atomic<int32_t> y_ = 0;
    std::atomic<bool> subscribed_ = false;
    std::mutex beforeMutex_;
    std::optional<PointerPosition> before_;
};

// Answers as the Shell does for its version.
class FakeShell {
  public:
    FakeShell(const std::string& address, const char* version)
        : service_(address), version_(version) {
        service_.Use([this](sd_bus* bus) {
            ASSERT_GE(sd_bus_add_object_vtable(bus, nullptr, "/org/gnome/Shell", "org.gnome.Shell",
                                               kVtable, this),
                      0);
        });
        service_.Use(
            [](sd_bus* bus) { ASSERT_GE(sd_bus_request_name(bus, "org.gnome.Shell", 0), 0); });
    }

  private:
    static int Version(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply,
                       void* self, sd_bus_error*) {
        return sd_bus_message_append(reply, "s", static_cast<FakeShell*>(self)->version_);
    }
    static constexpr sd_bus_vtable kVtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_PROPERTY("ShellVersion", "s", &FakeShell::Version, 0, SD_BUS_VTABLE_PROPERTY_CONST),
        SD_BUS_VTABLE_END};

    BusPeer service_;
    const char* version_;
};

// Hands the source a device event, as the journal does, until reports holds count reports.
bool TakeReports(PointerSource& source, const Reports& reports, std::size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (reports.size() < count && std::chrono::steady_clock::now() < deadline) {
        source.Before(DeviceEvent{EV_REL, REL_X, 1, MonotonicTick()});
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return reports.size() >= count;
}

PointerSource::Report Into(Reports& reports) {
    return [&reports](PointerPosition at, uint32_t time) { reports.emplace_back(at, time); };
}

TEST(GnomeShellSourceTest, ReportsThePositionAtStartAndEachMoveOfTheExtensionStampedOnReceipt) {
    ScratchBus bus;
    FakeExtension extension(bus.Address());
    ASSERT_TRUE(extension.Connected());
    extension.Place(100, 200);
    extension.SignalBeforeAnswer(90, 190);  // not where the pointer is after the answer
    // Another program that sends the extension's signal is not the extension.
    BusPeer stranger(bus.Address());

    GnomeShellSource source;
    Reports reports;
    std::string refusal;
    const uint32_t started = MonotonicTick();
    ASSERT_TRUE(source.Start(Into(reports), refusal)) << refusal;
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].first, (PointerPosition{100, 200}));
    EXPECT_GE(reports[0].second, started);
    source.Before(DeviceEvent{EV_REL, REL_X, 1, MonotonicTick()});
    ASSERT_EQ(reports.size(), 1u);

    stranger.Use([](sd_bus* bus) {
        sd_bus_emit_signal(bus, kGnomePointerPath, kGnomePointerInterface, "PositionChanged", "ii",
                           1, 1);
        // Answered after the daemon has passed the signal on: it reaches the source first.
        sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "GetId", nullptr, nullptr, "");
    });
    const uint32_t moved = MonotonicTick();
    extension.Move(300, 400);
    extension.Move(1279, 719);
    ASSERT_TRUE(TakeReports(source, reports, 3));
    const uint32_t taken = MonotonicTick();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[1].first, (PointerPosition{300, 400}));
    EXPECT_EQ(reports[2].first, (PointerPosition{1279, 719}));
    for (std::size_t i = 1; i < reports.size(); ++i) {
        EXPECT_GE(reports[i].second, moved);
        EXPECT_LE(reports[i].second, taken);
        EXPECT_GE(reports[i].second, reports[i - 1].second);
    }

    // After Stop no report reaches the journal, and the bus thread is gone.
    source.Stop();
    extension.Move(5, 5);
    source.Before(DeviceEvent{EV_REL, REL_X, 1, MonotonicTick()});
    EXPECT_EQ(reports.size(), 3u);
}

TEST(GnomeShellSourceTest, WhenTheExtensionVanishesAndReturnsThePositionIsReadAgain) {
    ScratchBus bus;
    FakeExtension extension(bus.Address());
    ASSERT_TRUE(extension.Connected());
    extension.Place(10, 20);
    GnomeShellSource source;
    Reports reports;
    std::string refusal;
    ASSERT_TRUE(source.Start(Into(reports), refusal)) << refusal;

    extension.Release();  // as a locked screen disables it
    extension.Place(640, 360);
    extension.Own();
    ASSERT_TRUE(TakeReports(source, reports, 2));
    EXPECT_EQ(reports.back().first, (PointerPosition{640, 360}));
    extension.Move(650, 370);  // the source has subscribed again
    ASSERT_TRUE(TakeReports(source, reports, 3));
    EXPECT_EQ(reports.back().first, (PointerPosition{650, 370}));

    // A new recording starts afresh on a new connection.
    source.Stop();
    reports.clear();
    extension.Place(7, 8);
    ASSERT_TRUE(source.Start(Into(reports), refusal)) << refusal;
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].first, (PointerPosition{7, 8}));
}

TEST(GnomeShellSourceTest,
     OnGnomeWithoutTheExtensionTheEstimateRecordsAndTheUserIsToldHowToEnable) {
    ScratchBus bus;
    FakeShell shell(bus.Address(), "43.9");
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    const std::string savedDesktop = desktop != nullptr ? desktop : "";
    setenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME", 1);
    auto estimate = [] {
        return std::make_unique<RelativeSource>([] { return std::optional<PointerPosition>(); },
                                                [] {
                                                    return LayoutBounds{0, 0, 1280, 720};
                                                });
    };
    Reports reports;
    std::string refusals;

    std::unique_ptr<PointerSource> source = StartPointerSource(Into(reports), estimate(), refusals);
    EXPECT_FALSE(source->Exact());
    EXPECT_NE(refusals.find("「gnome-extensions enable tapewright-pointer-43@tapewright」"),
              std::string::npos)
        << refusals;
    EXPECT_NE(refusals.find("推定"), std::string::npos) << refusals;
    EXPECT_NE(refusals.find("ログインし直して"), std::string::npos) << refusals;

    FakeExtension extension(bus.Address());
    ASSERT_TRUE(extension.Connected());
    source = StartPointerSource(Into(reports), estimate(), refusals);
    EXPECT_EQ(source->Name(), "GNOME Shell の拡張機能");
    EXPECT_TRUE(refusals.empty()) << refusals;
    source.reset();

    // GNOME 45 and later take the ES-module extension; an unknown shell is told of both.
    EXPECT_EQ(GnomeExtensionAdvice("46.2").find(kGnomeLegacyExtension), std::string::npos);
    EXPECT_NE(GnomeExtensionAdvice("46.2").find(kGnomeExtension), std::string::npos);
    EXPECT_NE(GnomeExtensionAdvice("").find(kGnomeLegacyExtension), std::string::npos);
    setenv("XDG_CURRENT_DESKTOP", savedDesktop.c_str(), 1);
}

}  // namespace

// The cursor capture source against a small compositor of the test's own that offers
// outputs, a seat, xdg-output and cursor capture sessions as wlroots does: the hotspot on
// the output it is on, in that output's buffer pixels.
#include <gtest/gtest.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <wayland-server.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "ScratchDirectory.h"
#include "platform/posix/MonotonicClock.h"
#include "platform/wayland/WlrCursorSource.h"
#include "wayland/ext-image-capture-source-server.h"
#include "wayland/ext-image-copy-capture-server.h"
#include "wayland/xdg-output-server.h"

namespace {

struct FakeOutput {
    int32_t x, y, width, height;  // logical
    int32_t modeWidth, modeHeight;
};

void DestroyRequest(wl_client*, wl_resource* resource) {
    wl_resource_destroy(resource);
}

// Runs on a thread of its own; Run hands it work, which it does between events.
class FakeCompositor {
  public:
    FakeCompositor(std::vector<FakeOutput> outputs, bool offersCapture) : outputs_(outputs) {
        setenv("XDG_RUNTIME_DIR", runtime_.Path().c_str(), 1);
        setenv("WAYLAND_DISPLAY", "tw-cursor", 1);
        display_ = wl_display_create();
        wl_display_add_socket(display_, "tw-cursor");
        for (std::size_t i = 0; i < outputs_.size(); ++i) {
            wl_global_create(display_, &wl_output_interface, 2, &outputs_[i], &BindOutput);
        }
        wl_global_create(display_, &wl_seat_interface, 1, this, &BindSeat);
        wl_global_create(display_, &zxdg_output_manager_v1_interface, 3, this, &BindXdg);
        if (offersCapture) {
            wl_global_create(display_, &ext_output_image_capture_source_manager_v1_interface, 1,
                             this, &BindSources);
            wl_global_create(display_, &ext_image_copy_capture_manager_v1_interface, 1, this,
                             &BindCopy);
        }
        wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        woken_ = wl_event_loop_add_fd(wl_display_get_event_loop(display_), wake_, WL_EVENT_READABLE,
                                      &FakeCompositor::OnWake, this);
        thread_ = std::thread([this] {
            while (!stop_) {
                wl_event_loop_dispatch(wl_display_get_event_loop(display_), 50);
                wl_display_flush_clients(display_);
            }
        });
    }
    ~FakeCompositor() {
        Run([this] { stop_ = true; });
        thread_.join();
        wl_event_source_remove(woken_);
        wl_display_destroy_clients(display_);
        wl_display_destroy(display_);
        close(wake_);
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("XDG_RUNTIME_DIR");
    }

    // Puts the cursor's hotspot at (x, y) of output's buffer: its session reports it; an
    // output of -1 hides the cursor.
    void PlaceCursor(int output, int32_t x, int32_t y) {
        Run([=, this] {
            cursorOutput_ = output;
            cursorX_ = x;
            cursorY_ = y;
            for (const Session& session : sessions_) Tell(session);
        });
    }
    // A position on a session of output without the cursor moving there (its image reaching
    // across the edge).
    void SendPosition(int output, int32_t x, int32_t y) {
        Run([=, this] {
            for (const Session& session : sessions_) {
                if (session.output == output) {
                    ext_image_copy_capture_cursor_session_v1_send_position(session.resource, x, y);
                }
            }
        });
    }
    std::size_t Sessions() {
        std::size_t count = 0;
        Run([&] { count = sessions_.size(); });
        return count;
    }

  private:
    struct Session {
        wl_resource* resource;
        int output;
    };

    void Run(std::function<void()> work) {
        std::promise<void> done;
        {
            std::lock_guard lock(mutex_);
            work_.push_back([&] {
                work();
                done.set_value();
            });
        }
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(wake_, &one, sizeof one);
        done.get_future().wait();
    }
    static int OnWake(int fd, uint32_t, void* self) {
        uint64_t count = 0;
        [[maybe_unused]] ssize_t read_ = read(fd, &count, sizeof count);
        auto& compositor = *static_cast<FakeCompositor*>(self);
        std::vector<std::function<void()>> work;
        {
            std::lock_guard lock(compositor.mutex_);
            work.swap(compositor.work_);
        }
        for (auto& job : work) job();
        wl_display_flush_clients(compositor.display_);
        return 0;
    }
    void Tell(const Session& session) {
        if (session.output != cursorOutput_) return;
        ext_image_copy_capture_cursor_session_v1_send_enter(session.resource);
        ext_image_copy_capture_cursor_session_v1_send_position(session.resource, cursorX_,
                                                               cursorY_);
    }
    int OutputIndex(wl_resource* output) const {
        const auto* data = static_cast<FakeOutput*>(wl_resource_get_user_data(output));
        return static_cast<int>(data - outputs_.data());
    }

    static void BindOutput(wl_client* client, void* data, uint32_t version, uint32_t id) {
        const auto& output = *static_cast<FakeOutput*>(data);
        wl_resource* resource = wl_resource_create(client, &wl_output_interface, version, id);
        wl_resource_set_implementation(resource, nullptr, data, nullptr);
        wl_output_send_geometry(resource, 0, 0, 0, 0, 0, "make", "model", 0);
        wl_output_send_mode(resource, WL_OUTPUT_MODE_CURRENT, output.modeWidth, output.modeHeight,
                            60000);
        if (version >= 2) wl_output_send_done(resource);
    }
    static void BindSeat(wl_client* client, void* data, uint32_t version, uint32_t id) {
        static const struct wl_pointer_interface kPointer = {
            [](wl_client*, wl_resource*, uint32_t, wl_resource*, int32_t, int32_t) {},
            DestroyRequest};
        static const struct wl_seat_interface kSeat = {
            [](wl_client* client, wl_resource* seat, uint32_t id) {
                wl_resource* pointer = wl_resource_create(client, &wl_pointer_interface,
                                                          wl_resource_get_version(seat), id);
                wl_resource_set_implementation(pointer, &kPointer, nullptr, nullptr);
            },
            [](wl_client*, wl_resource*, uint32_t) {}, [](wl_client*, wl_resource*, uint32_t) {},
            DestroyRequest};
        wl_resource* resource = wl_resource_create(client, &wl_seat_interface, version, id);
        wl_resource_set_implementation(resource, &kSeat, data, nullptr);
        wl_seat_send_capabilities(resource, WL_SEAT_CAPABILITY_POINTER);
    }
    static void BindXdg(wl_client* client, void* data, uint32_t version, uint32_t id) {
        static const struct zxdg_output_v1_interface kXdgOutput = {DestroyRequest};
        static const struct zxdg_output_manager_v1_interface kManager = {
            DestroyRequest, [](wl_client* client, wl_resource*, uint32_t id, wl_resource* output) {
                const auto& place = *static_cast<FakeOutput*>(wl_resource_get_user_data(output));
                wl_resource* xdg = wl_resource_create(client, &zxdg_output_v1_interface, 3, id);
                wl_resource_set_implementation(xdg, &kXdgOutput, nullptr, nullptr);
                zxdg_output_v1_send_logical_position(xdg, place.x, place.y);
                zxdg_output_v1_send_logical_size(xdg, place.width, place.height);
            }};
        wl_resource* resource =
            wl_resource_create(client, &zxdg_output_manager_v1_interface, version, id);
        wl_resource_set_implementation(resource, &kManager, data, nullptr);
    }
    static void BindSources(wl_client* client, void* data, uint32_t version, uint32_t id) {
        static const struct ext_image_capture_source_v1_interface kSource = {DestroyRequest};
        static const struct ext_output_image_capture_source_manager_v1_interface kManager = {
            [](wl_client* client, wl_resource*, uint32_t id, wl_resource* output) {
                wl_resource* source =
                    wl_resource_create(client, &ext_image_capture_source_v1_interface, 1, id);
                wl_resource_set_implementation(source, &kSource, output, nullptr);
            },
            DestroyRequest};
        wl_resource* resource = wl_resource_create(
            client, &ext_output_image_capture_source_manager_v1_interface, version, id);
        wl_resource_set_implementation(resource, &kManager, data, nullptr);
    }
    static void BindCopy(wl_client* client, void* data, uint32_t version, uint32_t id) {
        static const struct ext_image_copy_capture_cursor_session_v1_interface kSession = {
            DestroyRequest, [](wl_client*, wl_resource*, uint32_t) {}};
        static const struct ext_image_copy_capture_manager_v1_interface kManager = {
            [](wl_client*, wl_resource*, uint32_t, wl_resource*, uint32_t) {},
            [](wl_client* client, wl_resource* manager, uint32_t id, wl_resource* source,
               wl_resource*) {
                auto& compositor =
                    *static_cast<FakeCompositor*>(wl_resource_get_user_data(manager));
                wl_resource* resource = wl_resource_create(
                    client, &ext_image_copy_capture_cursor_session_v1_interface, 1, id);
                wl_resource_set_implementation(resource, &kSession, &compositor, &ForgetSession);
                const Session session{resource, compositor.OutputIndex(static_cast<wl_resource*>(
                                                    wl_resource_get_user_data(source)))};
                compositor.sessions_.push_back(session);
                compositor.Tell(session);
            },
            DestroyRequest};
        wl_resource* resource =
            wl_resource_create(client, &ext_image_copy_capture_manager_v1_interface, version, id);
        wl_resource_set_implementation(resource, &kManager, data, nullptr);
    }
    static void ForgetSession(wl_resource* resource) {
        auto& sessions =
            static_cast<FakeCompositor*>(wl_resource_get_user_data(resource))->sessions_;
        std::erase_if(sessions, [resource](const Session& s) { return s.resource == resource; });
    }
    ScratchDirectory runtime_;
    std::vector<FakeOutput> outputs_;
    wl_display* display_ = nullptr;
    std::vector<Session> sessions_;
    int cursorOutput_ = -1;
    int32_t cursorX_ = 0, cursorY_ = 0;
    int wake_ = -1;
    wl_event_source* woken_ = nullptr;
    std::mutex mutex_;
    std::vector<std::function<void()>> work_;
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};

using Reports = std::vector<PointerPosition>;

// Reports what has arrived by now until want is among them, or two seconds pass.
bool WaitFor(PointerSource& source, const Reports& reports, PointerPosition want) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < until) {
        source.Before(DeviceEvent{});
        if (std::find(reports.begin(), reports.end(), want) != reports.end()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// Two outputs side by side, the second at scale 2; the cursor starts on the second.
TEST(WlrCursorSourceTest, ReportsTheCursorOnEachOutputInTheLayoutsPixelsAsItMoves) {
    FakeCompositor compositor({{0, 0, 1280, 720, 1280, 720}, {1280, 0, 960, 540, 1920, 1080}},
                              true);
    compositor.PlaceCursor(1, 200, 100);
    std::unique_ptr<PointerSource> source = OpenWlrCursorSource();
    ASSERT_TRUE(source);
    Reports reports;
    uint32_t lastTime = 0;
    std::string refusal;
    const uint32_t started = MonotonicTick();
    ASSERT_TRUE(source->Start(
        [&](PointerPosition at, uint32_t time) {
            reports.push_back(at);
            lastTime = time;
        },
        refusal))
        << refusal;
    EXPECT_EQ(reports, (Reports{{1380, 50}}));
    // The cursor's image reaches across the edge: the second output reports a place off its
    // buffer, which the first output tells right.
    const uint32_t moved = MonotonicTick();
    compositor.SendPosition(1, -4, 20);
    compositor.PlaceCursor(0, 1276, 40);
    ASSERT_TRUE(WaitFor(*source, reports, PointerPosition{1276, 40}));
    EXPECT_EQ(reports, (Reports{{1380, 50}, {1276, 40}}));
    EXPECT_GE(static_cast<int32_t>(lastTime - moved), 0);  // stamped on receipt
    EXPECT_GE(static_cast<int32_t>(moved - started), 0);
    // Stopped, the source ends its sessions: nothing piles up on its connection.
    EXPECT_EQ(compositor.Sessions(), 2u);
    source->Stop();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (compositor.Sessions() != 0 && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(compositor.Sessions(), 0u);
}

TEST(WlrCursorSourceTest, NotChosenWithoutSessionsAndRefusedWhileTheyTellNothing) {
    {
        FakeCompositor compositor({{0, 0, 1280, 720, 1280, 720}}, false);
        EXPECT_FALSE(OpenWlrCursorSource());
    }
    // A cursor drawn in software: wlroots' sessions stay silent.
    FakeCompositor compositor({{0, 0, 1280, 720, 1280, 720}}, true);
    std::unique_ptr<PointerSource> source = OpenWlrCursorSource();
    ASSERT_TRUE(source);
    std::string refusal;
    EXPECT_FALSE(source->Start([](PointerPosition, uint32_t) {}, refusal));
    EXPECT_NE(refusal.find(source->Name()), std::string::npos);
}

}  // namespace
